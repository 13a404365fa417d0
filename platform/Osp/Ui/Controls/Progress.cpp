#include "Osp/Ui/Controls/Progress.h"

#include <QPainter>
#include <algorithm>

#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

struct Progress::Impl {
    int min = 0;
    int max = 100;
    int value = 0;
};

namespace {

class ProgressWidget : public host::ControlWidget {
public:
    ProgressWidget(Progress& progress) : ControlWidget(progress), progress_(progress) {}

protected:
    void PaintControl(QPainter& p) override {
        p.setRenderHint(QPainter::Antialiasing);
        const int barHeight = std::min(12, AreaHeight());
        const QRectF track(0, (AreaHeight() - barHeight) / 2.0, AreaWidth(), barHeight);
        p.setPen(Qt::NoPen);
        p.setBrush(host::theme::kSeparator);
        p.drawRoundedRect(track, barHeight / 2.0, barHeight / 2.0);
        const double share = progress_.GetPercentComplete() / 100.0;
        if (share > 0) {
            p.setBrush(host::theme::kAccent);
            QRectF done = track;
            done.setWidth(std::max<double>(barHeight, track.width() * share));
            p.drawRoundedRect(done, barHeight / 2.0, barHeight / 2.0);
        }
    }

private:
    Progress& progress_;
};

}  // namespace

Progress::Progress() : impl_(std::make_unique<Impl>()) {}

Progress::~Progress() = default;

result Progress::Construct(const Osp::Graphics::Rectangle& rect, int minValue, int maxValue) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (SetRange(minValue, maxValue) != E_SUCCESS) {
        return E_INVALID_ARG;
    }
    impl_->value = minValue;
    GetControlImpl().Attach(new ProgressWidget(*this), rect);
    return E_SUCCESS;
}

void Progress::SetValue(int value) {
    impl_->value = std::clamp(value, impl_->min, impl_->max);
    Draw();
}

int Progress::GetValue() const {
    return impl_->value;
}

result Progress::SetRange(int minValue, int maxValue) {
    if (minValue >= maxValue) {
        return E_INVALID_ARG;
    }
    impl_->min = minValue;
    impl_->max = maxValue;
    impl_->value = std::clamp(impl_->value, minValue, maxValue);
    Draw();
    return E_SUCCESS;
}

void Progress::GetRange(int& minValue, int& maxValue) const {
    minValue = impl_->min;
    maxValue = impl_->max;
}

int Progress::GetPercentComplete() const {
    const long long span = static_cast<long long>(impl_->max) - impl_->min;
    return static_cast<int>((static_cast<long long>(impl_->value) - impl_->min) * 100 / span);
}

}  // namespace Osp::Ui::Controls
