#include "Osp/Ui/Controls/Animation.h"

#include <QImage>
#include <QPainter>
#include <QTimer>
#include <vector>

#include "Osp/Ui/Controls/AnimationFrame.h"
#include "host/GraphicsHost.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

struct Animation::Impl {
    struct Picture {
        QImage image;
        int durationMs;
    };

    void ShowNext();

    std::vector<Picture> pictures;
    size_t current = 0;
    int repeatCount = 1;
    int rounds = 0;
    AnimationStatus status = ANIMATION_STOPPED;
    QTimer timer;
    host::ControlWidget* widget = nullptr;
};

void Animation::Impl::ShowNext() {
    if (current + 1 < pictures.size()) {
        ++current;
    } else if (rounds + 1 < repeatCount) {
        ++rounds;
        current = 0;
    } else {
        status = ANIMATION_STOPPED;
        return;
    }
    widget->update();
    timer.start(pictures[current].durationMs);
}

namespace {

class AnimationWidget : public host::ControlWidget {
public:
    AnimationWidget(Animation& animation, Animation::Impl& impl) : ControlWidget(animation), impl_(impl) {}

protected:
    void PaintControl(QPainter& p) override {
        if (impl_.pictures.empty()) {
            return;
        }
        const QImage& image = impl_.pictures[impl_.current].image;
        const QSize size = image.size().scaled(Area().size(), Qt::KeepAspectRatio);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint((AreaWidth() - size.width()) / 2, (AreaHeight() - size.height()) / 2), size),
                    image);
    }

private:
    Animation::Impl& impl_;
};

}  // namespace

Animation::Animation() : impl_(std::make_unique<Impl>()) {
    impl_->timer.setSingleShot(true);
    QObject::connect(&impl_->timer, &QTimer::timeout, [impl = impl_.get()] { impl->ShowNext(); });
}

Animation::~Animation() = default;

result Animation::Construct(const Osp::Graphics::Rectangle& rect,
                            const Osp::Base::Collection::IList& animationFrames) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    std::vector<Impl::Picture> pictures;
    for (int i = 0; i < animationFrames.GetCount(); ++i) {
        const auto* frame = dynamic_cast<const AnimationFrame*>(animationFrames.GetAt(i));
        if (frame == nullptr || frame->GetFrame() == nullptr || frame->GetFrameDuration() <= 0) {
            return E_INVALID_ARG;
        }
        const long duration = std::min<long>(frame->GetFrameDuration(), 0x7FFFFFFF);
        pictures.push_back({host::ImageOf(*frame->GetFrame()), static_cast<int>(duration)});
    }
    if (pictures.empty()) {
        return E_INVALID_ARG;
    }
    impl_->pictures = std::move(pictures);
    impl_->widget = new AnimationWidget(*this, *impl_);
    GetControlImpl().Attach(impl_->widget, rect);
    return E_SUCCESS;
}

result Animation::Play() {
    if (impl_->widget == nullptr) {
        return E_INVALID_STATE;
    }
    if (impl_->status != ANIMATION_PAUSED) {
        impl_->current = 0;
        impl_->rounds = 0;
    }
    impl_->status = ANIMATION_PLAYING;
    impl_->widget->update();
    impl_->timer.start(impl_->pictures[impl_->current].durationMs);
    return E_SUCCESS;
}

result Animation::Stop() {
    impl_->timer.stop();
    impl_->status = ANIMATION_STOPPED;
    return E_SUCCESS;
}

result Animation::Pause() {
    if (impl_->status != ANIMATION_PLAYING) {
        return E_INVALID_STATE;
    }
    impl_->timer.stop();
    impl_->status = ANIMATION_PAUSED;
    return E_SUCCESS;
}

result Animation::SetRepeatCount(int count) {
    if (count < 1) {
        return E_INVALID_ARG;
    }
    impl_->repeatCount = count;
    return E_SUCCESS;
}

int Animation::GetRepeatCount() const {
    return impl_->repeatCount;
}

int Animation::GetCurrentRepeatedCount() const {
    return impl_->rounds;
}

int Animation::GetImageCount() const {
    return static_cast<int>(impl_->pictures.size());
}

AnimationStatus Animation::GetStatus() const {
    return impl_->status;
}

}  // namespace Osp::Ui::Controls
