#pragma once
// A check button: a text with a check mark (or an on/off switch). A tap toggles it and reports the
// checked or the unchecked action identifier to its action listeners; SetSelected changes the state
// without a report. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/IActionEventListener.h"

namespace Osp::Ui::Controls {

enum CheckButtonStyle {
    CHECK_BUTTON_STYLE_MARK,
    CHECK_BUTTON_STYLE_ONOFF,
    CHECK_BUTTON_STYLE_RADIO,
};

enum BackgroundStyle {
    BACKGROUND_STYLE_DEFAULT,
    BACKGROUND_STYLE_NONE,
};

class CheckButton : public Control {
public:
    CheckButton();
    ~CheckButton() override;

    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect, CheckButtonStyle style,
                                BackgroundStyle backgroundStyle = BACKGROUND_STYLE_DEFAULT,
                                bool showTitle = false, const Osp::Base::String& text = Osp::Base::String());
    void SetActionId(int checkedActionId, int uncheckedActionId, int selectedActionId = -1);
    int GetCheckedActionId() const;
    int GetUncheckedActionId() const;
    void SetSelected(bool select);
    bool IsSelected() const;
    void SetText(const Osp::Base::String& text);
    Osp::Base::String GetText() const;
    void AddActionEventListener(const IActionEventListener& listener);
    void RemoveActionEventListener(const IActionEventListener& listener);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
