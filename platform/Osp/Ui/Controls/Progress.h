#pragma once
// A progress bar over a range of values. Values outside the range are clamped. User-interface thread
// only.

#include <memory>

#include "Osp/Ui/Control.h"

namespace Osp::Ui::Controls {

class Progress : public Control {
public:
    Progress();
    ~Progress() override;

    // E_INVALID_ARG when minValue is not below maxValue.
    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect, int minValue, int maxValue);
    void SetValue(int value);
    int GetValue() const;
    Osp::Base::result SetRange(int minValue, int maxValue);
    void GetRange(int& minValue, int& maxValue) const;
    // (value - min) * 100 / (max - min).
    int GetPercentComplete() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
