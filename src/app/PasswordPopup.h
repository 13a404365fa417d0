#pragma once
// The small dialog that asks for a password. In check mode it compares the text with the private-folder
// password and stays open, with "Incorrect password" (or, when the stored password cannot be read,
// kUnreadablePassword), until they match or the user cancels; otherwise
// it just collects the text (an archive's password). When it closes it tells its listener the done or
// the cancel action given at construction, with the popup as the source; a check-mode popup empties its
// field first, so that no password stays in the hidden popup.
//
// User-interface thread only. The listener is not owned and must outlive the popup; the popup belongs
// to whoever made it and may be deleted once it has closed.

#include <string>

#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class PasswordPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    enum TMode { COLLECT, CHECK };

    static constexpr wchar_t kUnreadablePassword[] =
        L"The stored password cannot be read. 'My Private Files' stay locked.";

    PasswordPopup(Osp::Ui::IActionEventListener* listener, int doneAction, int cancelAction, TMode mode);

    // Builds the popup from its layout; false when that fails.
    bool Construct();
    // Opens the popup with an empty field, ready for typing.
    void ShowPopup();
    std::wstring GetPassword() const;

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    // Checks the typed text against the private-folder password; a refusal is told to the user.
    bool PasswordMatches();
    void Close(int action);

    Osp::Ui::IActionEventListener* listener_;
    int doneAction_;
    int cancelAction_;
    TMode mode_;
    Osp::Ui::Controls::EditField* field_ = nullptr;  // a control of the popup
};
