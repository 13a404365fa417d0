#include "Osp/Ui/Controls/Frame.h"

#include <QWidget>

#include "Osp/App/Application.h"
#include "host/EventLoop.h"
#include "host/QtString.h"

namespace Osp::Ui::Controls {

struct Frame::Impl {
    QWidget window;
};

Frame::Frame() : impl_(std::make_unique<Impl>()) {
    impl_->window.setWindowTitle(QStringLiteral("Corvane"));
    impl_->window.setFixedSize(480, 800);
    impl_->window.setStyleSheet(QStringLiteral("background-color: #1b1f24;"));
}

Frame::~Frame() = default;

Osp::Base::result Frame::Show() {
    impl_->window.show();
    return Osp::Base::E_SUCCESS;
}

Osp::Base::result Frame::SetTitle(const Osp::Base::String& title) {
    impl_->window.setWindowTitle(host::ToQString(title.Units()));
    return Osp::Base::E_SUCCESS;
}

}  // namespace Osp::Ui::Controls

namespace Osp::App {

Osp::Ui::Controls::Frame* Application::GetAppFrame() const {
    host::EnsureQtApplication();
    static auto* frame = new Osp::Ui::Controls::Frame;  // lives as long as the process
    return frame;
}

}  // namespace Osp::App
