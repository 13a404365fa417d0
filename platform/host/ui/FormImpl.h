#pragma once
// What lies behind Osp::Ui::Controls::Form: its bars, keys, orientation and listeners. For platform code.

#include <optional>
#include <vector>

#include "Osp/Ui/Controls/Form.h"

namespace host {
class FormWidget;
}

namespace Osp::Ui::Controls {

struct Form::Impl {
    struct Key {
        Osp::Base::String text;
        int actionId = -1;
        bool enabled = true;
        std::vector<IActionEventListener*> listeners;
    };
    enum class KeyId { kLeft, kRight, kOption };

    bool HasKey(KeyId id) const;
    Key& KeyOf(KeyId id);
    // Reports the key's action to its listeners, as a tap on it does. False when the form lacks the key
    // or it is disabled.
    bool PressKey(Form& form, KeyId id);

    int TitleHeight() const;
    int SoftkeyBarHeight() const;
    // The status the form takes while the phone is held with the device status.
    OrientationStatus StatusFor(OrientationStatus device) const;
    // Takes the size of the status and moves the controls of the form's layout to their places for it.
    // Returns whether the status changed; the listeners are told by NotifyOrientation.
    bool ApplyStatus(Form& form, OrientationStatus newStatus);
    void NotifyOrientation(Form& form);

    unsigned long style = FORM_STYLE_NORMAL;
    Osp::Base::String title;
    HorizontalAlignment titleAlignment = ALIGNMENT_CENTER;
    Key softkeys[SOFTKEY_COUNT];
    Key optionkey;
    Orientation orientation = ORIENTATION_PORTRAIT;
    OrientationStatus status = ORIENTATION_STATUS_PORTRAIT;
    std::vector<IOrientationEventListener*> orientationListeners;
    std::optional<Osp::Graphics::Color> background;
    host::FormWidget* widget = nullptr;
};

}  // namespace Osp::Ui::Controls
