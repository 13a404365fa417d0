#pragma once
// A one-line text field. With INPUT_STYLE_OVERLAY on a scroll panel, tapping it opens the panel's
// overlay keypad (see IScrollPanelEventListener): its two command buttons ("Done" and "Cancel" in the
// forms here, set with SetOverlayKeypadCommandButton) report their action identifiers to the field's
// action listeners with the field as source; on a desktop Enter or F1 presses the left one, Esc or F2
// the right one. ScrollPanel::CloseOverlayWindow closes it. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/EditTypes.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IScrollPanelEventListener.h"
#include "Osp/Ui/ITextEventListener.h"

namespace Osp::Ui::Controls {

enum EditFieldStyle {
    EDIT_FIELD_STYLE_NORMAL,
    EDIT_FIELD_STYLE_PASSWORD,
};

class EditField : public Control {
public:
    EditField();
    ~EditField() override;

    // limitLength: the most characters the field takes (1 or more).
    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect,
                                EditFieldStyle style = EDIT_FIELD_STYLE_NORMAL,
                                InputStyle inputStyle = INPUT_STYLE_FULLSCREEN, bool showTitleText = false,
                                int limitLength = 100);

    Osp::Base::String GetText() const;
    // Text longer than the limit is cut to it.
    Osp::Base::result SetText(const Osp::Base::String& text);
    void Clear();
    int GetTextLength() const;
    Osp::Base::result SetLimitLength(int limitLength);
    int GetLimitLength() const;
    void SetGuideText(const Osp::Base::String& text);
    void SetTitleText(const Osp::Base::String& text);

    // A phone keypad starts in lower case when set; a desktop keyboard is not affected.
    void SetLowerCaseModeEnabled(bool enable);
    bool IsLowerCaseModeEnabled() const;
    // Adds (enable) or removes EditInputModeCategory flags.
    Osp::Base::result SetInputModeCategory(unsigned long categories, bool enable);
    unsigned long GetInputModeCategory() const;
    Osp::Base::result SetCurrentInputModeCategory(EditInputModeCategory category);
    void SetKeypadEnabled(bool enable);

    void SetOverlayKeypadCommandButton(CommandButtonPosition position, const Osp::Base::String& text,
                                       int actionId);
    Osp::Base::String GetOverlayKeypadCommandButtonText(CommandButtonPosition position) const;
    int GetOverlayKeypadCommandButtonActionId(CommandButtonPosition position) const;

    void AddActionEventListener(const IActionEventListener& listener);
    void RemoveActionEventListener(const IActionEventListener& listener);
    void AddScrollPanelEventListener(const IScrollPanelEventListener& listener);
    void RemoveScrollPanelEventListener(const IScrollPanelEventListener& listener);
    void AddTextEventListener(const ITextEventListener& listener);
    void RemoveTextEventListener(const ITextEventListener& listener);

    struct Impl;
    Impl& GetEditImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
