#pragma once
// A text area of several lines, with the same keypad handling as EditField. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/EditTypes.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IScrollPanelEventListener.h"
#include "Osp/Ui/ITextEventListener.h"

namespace Osp::Ui::Controls {

class EditArea : public Control {
public:
    EditArea();
    ~EditArea() override;

    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect,
                                InputStyle inputStyle = INPUT_STYLE_FULLSCREEN, int limitLength = 1000);

    Osp::Base::String GetText() const;
    Osp::Base::result SetText(const Osp::Base::String& text);
    void Clear();
    int GetTextLength() const;
    void SetGuideText(const Osp::Base::String& text);
    void SetLowerCaseModeEnabled(bool enable);
    bool IsLowerCaseModeEnabled() const;
    Osp::Base::result SetInputModeCategory(unsigned long categories, bool enable);
    void SetKeypadEnabled(bool enable);

    void SetOverlayKeypadCommandButton(CommandButtonPosition position, const Osp::Base::String& text,
                                       int actionId);
    Osp::Base::String GetOverlayKeypadCommandButtonText(CommandButtonPosition position) const;

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
