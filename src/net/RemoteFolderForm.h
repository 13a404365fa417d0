#pragma once
// The screen on which the user adds a network folder or edits one: computer name, share, IP address,
// WINS server, user name, password, protocol and when file data is encrypted, on a scrolling panel. The
// computer name and the two addresses are checked as they are entered; Save needs a computer name or an
// address. Save hands a new folder to the application, which lists and stores it, or stores the changes of
// the edited one; Cancel writes nothing. Both return to the main list. A search of the network can fill the
// computer name and address.
//
// User-interface thread only. The application makes the form and replaces it with the next one. A new
// folder is the form's until Save hands it over; an edited folder is the application's, and the form
// lets go of it when it leaves.

#include <memory>

#include "Osp/Base/String.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "ui/OkFormBase.h"

#include "net/RemoteFolder.h"
#include "net/ServersPopup.h"

// A dotted IPv4 address of exactly four numbers, without a leading or trailing dot.
bool ValidateIpAddress(const Osp::Base::String& text);

class RemoteFolderForm : public OkFormBase {
public:
    enum TAction {
        ACTION_SAVE = 101,
        ACTION_CANCEL = 102,
        ACTION_OPTIONS = 103,
        ACTION_HELP = 104,
        ACTION_PROTOCOL = 105,
        ACTION_ENCRYPTION = 106,
        ACTION_SEARCH = 107,
        ACTION_SERVER_CHOSEN = 108,
        ACTION_SEARCH_CANCELLED = 109,
        // The protocol menu's items: this value plus the TSmbProtocol.
        ACTION_PROTOCOL_CHOSEN = 110,
        // The encryption menu's items: this value plus the TEncryption.
        ACTION_ENCRYPTION_CHOSEN = 120,
    };

    RemoteFolderForm();
    ~RemoteFolderForm() override;

    // Builds the form for folder, filled from it, or for a new empty folder when folder is null. False
    // when the layout cannot be built.
    bool Initialize(RemoteFolder* folder);

    // Opens the list of servers on the network; a server tapped there fills the computer name and address.
    void SearchNetwork();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    bool ValidateControl(const Osp::Ui::Control* control) override;

private:
    enum TField { NODE_NAME, SHARE_NAME, IP_ADDRESS, WINS_SERVER, USER_NAME, PASSWORD, FIELD_COUNT };

    void Fill(const RemoteFolder& folder);
    void ShowProtocol(TSmbProtocol protocol);
    void ShowEncryption(TEncryption encryption);
    // A button of the form that opens a menu of choices, each named by its action identifier's offset from
    // firstChoice; null when the layout lacks the button.
    Osp::Ui::Controls::Button* MakeChoice(const wchar_t* id, int action, const wchar_t* const* names,
                                          int count, int firstChoice,
                                          std::unique_ptr<Osp::Ui::Controls::ContextMenu>* menu);
    Osp::Base::String TextOf(TField field) const;
    void FillFromServer(const DiscoveredServer& server);
    void CopyFieldsInto(RemoteFolder* folder) const;
    void Save();
    // Applies the fields to the edited folder; a connection made with what they replaced is closed.
    void SaveChanges(RemoteFolder* folder);
    // Back to the main list, with the fields emptied and the folder let go.
    void Leave();

    std::unique_ptr<RemoteFolder> newFolder_;
    RemoteFolder* folder_ = nullptr;                          // the application's, while editing
    Osp::Ui::Controls::EditField* fields_[FIELD_COUNT] = {};  // controls of the form
    std::unique_ptr<Osp::Ui::Controls::OptionMenu> optionMenu_;
    Osp::Ui::Controls::Button* protocolButton_ = nullptr;  // a control of the form
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> protocolMenu_;
    TSmbProtocol protocol_ = SMB_PROTOCOL_AUTOMATIC;
    Osp::Ui::Controls::Button* encryptionButton_ = nullptr;  // a control of the form
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> encryptionMenu_;
    TEncryption encryption_ = ENCRYPTION_WHEN_OFFERED;
    std::unique_ptr<ServersPopup> serversPopup_;  // made at the first search, kept for the next
};
