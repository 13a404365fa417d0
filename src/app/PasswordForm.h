#pragma once
// The screen that sets the first private-folder password or changes the one that is set. Done checks the
// fields (the current password first, then that both new ones match, then the length), stores the new
// password in the settings file and returns to the main list; Cancel returns without changes. Every
// refusal is a message box, after which the form stays as it was.
//
// User-interface thread only. The application makes the form, adds it to the frame and replaces it with
// the next one; the fields are the form's controls.

#include <string>

#include "Osp/Ui/Controls/EditField.h"
#include "app/PrivatePassword.h"
#include "ui/OkFormBase.h"

class PasswordForm : public OkFormBase {
public:
    enum TMode { SET, CHANGE };

    static constexpr int kActionDone = 101;
    static constexpr int kActionCancel = 102;

    // Builds the form of the mode; false when its layout cannot be built.
    bool Initialize(TMode mode);

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

    // Why the passwords cannot be taken, in the order the user is told: empty when they can. current is
    // the check of the typed current password, looked at only when changing.
    static std::wstring CheckPasswords(TMode mode, PrivatePassword::TCheck current, const std::wstring& first,
                                       const std::wstring& second);

private:
    void OnDone();
    // Back to the main list, with the fields emptied.
    void Leave();
    static std::wstring TextOf(const Osp::Ui::Controls::EditField* field);

    TMode mode_ = SET;
    // Controls of the form; the current-password field exists only when changing.
    Osp::Ui::Controls::EditField* current_ = nullptr;
    Osp::Ui::Controls::EditField* first_ = nullptr;
    Osp::Ui::Controls::EditField* second_ = nullptr;
};
