#pragma once
// Asks for the user name and password of a network folder whose logon the server refused. OK gives the
// folder the typed account for this run (the settings file is the folder view's business, once the
// account has been accepted) and tells the listener the done action; Cancel tells it the cancel action.
// "Remember" starts set when the folder already stores a password.
//
// User-interface thread only. The listener is not owned and outlives the popup; the folder must outlive
// the popup's showing. The popup belongs to whoever made it.

#include "Osp/Ui/Controls/CheckButton.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class RemoteFolder;

class LoginPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    LoginPopup(Osp::Ui::IActionEventListener* listener, int doneAction, int cancelAction);

    // Builds the popup from its layout; false when a control is missing.
    bool Construct();
    // Opens the popup for folder, titled with its name, filled with the account it logs on with.
    void ShowPopup(RemoteFolder* folder);
    // Whether "Remember" was set when the popup last closed with OK.
    bool IsRememberChecked() const { return remember_; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    void Close(int action);

    Osp::Ui::IActionEventListener* listener_;
    int doneAction_;
    int cancelAction_;
    RemoteFolder* folder_ = nullptr;  // while the popup shows
    bool remember_ = false;
    // Controls of the popup.
    Osp::Ui::Controls::EditField* name_ = nullptr;
    Osp::Ui::Controls::EditField* password_ = nullptr;
    Osp::Ui::Controls::CheckButton* rememberCheck_ = nullptr;
};
