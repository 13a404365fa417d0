#pragma once
// The settings screen: whether folder lists show hidden entries, whether deleting moves to the trash, a
// button that empties the local cache, and, on the user's real storage, the folder behind "Phone Memory"
// and the medium behind "Memory Card". The settings themselves live in the application, which stores them at
// once. User-interface thread only; the application makes the form and replaces it with the next one.

#include <memory>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/IActionEventListener.h"

class SettingsForm : public Osp::Ui::Controls::Form, public Osp::Ui::IActionEventListener {
public:
    enum TAction {
        ACTION_SHOW_HIDDEN = 105,
        ACTION_HIDE_HIDDEN = 106,
        ACTION_CLEAR_CACHE = 107,
        ACTION_BACK = 108,
        ACTION_HELP = 109,
        ACTION_USE_FOLDER = 110,
        ACTION_CHOOSE_CARD = 111,
        ACTION_USE_TRASH = 112,
        ACTION_SKIP_TRASH = 113,
        // The card menu's items, in the order of cardChoices_.
        ACTION_CARD_CHOICE = 120,
    };

    // Builds the form from its layout with the check button showing the setting; false when a control is
    // missing.
    bool Construct();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    // Empties the cache and tells how much that freed.
    void ClearCache();
    // Shows or hides the storage choices, and fills them in.
    bool ConstructStorage();
    void UseFolder();
    void ShowCardMenu();
    void ChooseCard(size_t index);
    void ShowCardChoice();

    Osp::Ui::Controls::EditField* phoneFolder_ = nullptr;  // controls of the form
    Osp::Ui::Controls::Button* cardChoice_ = nullptr;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> cardMenu_;
    // What each item of the open card menu chooses.
    std::vector<std::wstring> cardChoices_;
};
