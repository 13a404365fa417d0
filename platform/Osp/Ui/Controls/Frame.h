#pragma once
// The phone window: 480 x 800 in portrait, 800 x 480 in landscape. One frame per application, created by
// the platform before the application initialises and shown when it has.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Ui::Controls {

class Frame : public Osp::Base::Object {
public:
    Frame();
    ~Frame() override;
    Osp::Base::result Show();
    Osp::Base::result SetTitle(const Osp::Base::String& title);

    struct Impl;
    Impl* GetImpl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
