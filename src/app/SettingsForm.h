#pragma once
// The settings screen: whether folder lists show hidden entries, and a button that empties the local
// cache. The setting itself lives in the application, which stores it at once. User-interface thread
// only; the application makes the form and replaces it with the next one.

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
    };

    // Builds the form from its layout with the check button showing the setting; false when a control is
    // missing.
    bool Construct();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    // Empties the cache and tells how much that freed.
    void ClearCache();
};
