#pragma once
// A push button: a tap reports its action identifier to its action listeners. User-interface thread
// only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/IActionEventListener.h"

namespace Osp::Ui::Controls {

class Button : public Control {
public:
    Button();
    ~Button() override;

    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect,
                                const Osp::Base::String& text = Osp::Base::String());
    void SetText(const Osp::Base::String& text);
    Osp::Base::String GetText() const;
    void SetActionId(int actionId);
    int GetActionId() const;
    void AddActionEventListener(const IActionEventListener& listener);
    void RemoveActionEventListener(const IActionEventListener& listener);

    struct Impl;
    Impl& GetButtonImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
