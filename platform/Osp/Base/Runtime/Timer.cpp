#include "Osp/Base/Runtime/Timer.h"

#include <QTimer>

namespace Osp::Base::Runtime {

struct Timer::Impl {
    QTimer timer;
    ITimerEventListener* listener = nullptr;
};

Timer::Timer() = default;
Timer::~Timer() = default;

result Timer::Construct(ITimerEventListener& listener) {
    if (impl_) {
        return E_INVALID_STATE;
    }
    impl_ = std::make_unique<Impl>();
    impl_->listener = &listener;
    impl_->timer.setSingleShot(true);
    impl_->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] { impl_->listener->OnTimerExpired(*this); });
    return E_SUCCESS;
}

result Timer::Start(int milliseconds) {
    if (!impl_ || milliseconds < 0) {
        return impl_ ? E_INVALID_ARG : E_INVALID_STATE;
    }
    impl_->timer.start(milliseconds);
    return E_SUCCESS;
}

result Timer::Cancel() {
    if (!impl_) {
        return E_INVALID_STATE;
    }
    impl_->timer.stop();
    return E_SUCCESS;
}

}  // namespace Osp::Base::Runtime
