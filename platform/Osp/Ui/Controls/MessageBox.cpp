#include "Osp/Ui/Controls/MessageBox.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/MessageBoxHooks.h"
#include "host/ui/MessageBoxWidget.h"
#include "host/ui/Overlay.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;
using ButtonChoice = host::MessageBoxWidget::ButtonChoice;

struct MessageBox::Impl {
    String title;
    String text;
    MessageBoxStyle style = MSGBOX_STYLE_NONE;
    unsigned long timeout = 0;
    bool constructed = false;
    bool showing = false;
};

namespace {

std::vector<ButtonChoice> ButtonsOf(MessageBoxStyle style) {
    const ButtonChoice ok{QStringLiteral("OK"), MSGBOX_RESULT_OK};
    const ButtonChoice cancel{QStringLiteral("Cancel"), MSGBOX_RESULT_CANCEL};
    const ButtonChoice yes{QStringLiteral("Yes"), MSGBOX_RESULT_YES};
    const ButtonChoice no{QStringLiteral("No"), MSGBOX_RESULT_NO};
    const ButtonChoice retry{QStringLiteral("Retry"), MSGBOX_RESULT_RETRY};
    switch (style) {
        case MSGBOX_STYLE_OK:
            return {ok};
        case MSGBOX_STYLE_CANCEL:
            return {cancel};
        case MSGBOX_STYLE_OKCANCEL:
            return {ok, cancel};
        case MSGBOX_STYLE_YESNO:
            return {yes, no};
        case MSGBOX_STYLE_YESNOCANCEL:
            return {yes, no, cancel};
        case MSGBOX_STYLE_ABORTRETRYIGNORE:
            return {{QStringLiteral("Abort"), MSGBOX_RESULT_ABORT},
                    retry,
                    {QStringLiteral("Ignore"), MSGBOX_RESULT_IGNORE}};
        case MSGBOX_STYLE_CANCELTRYCONTINUE:
            return {cancel,
                    {QStringLiteral("Try"), MSGBOX_RESULT_TRY},
                    {QStringLiteral("Continue"), MSGBOX_RESULT_CONTINUE}};
        case MSGBOX_STYLE_RETRYCANCEL:
            return {retry, cancel};
        default:
            return {};
    }
}

}  // namespace

MessageBox::MessageBox() : impl_(std::make_unique<Impl>()) {}

MessageBox::~MessageBox() = default;

result MessageBox::Construct(const String& title, const String& text, MessageBoxStyle style,
                             unsigned long timeout) {
    if (impl_->constructed) {
        return E_INVALID_STATE;
    }
    impl_->title = title;
    impl_->text = text;
    impl_->style = style;
    impl_->timeout = timeout;
    impl_->constructed = true;
    return E_SUCCESS;
}

result MessageBox::ShowAndWait(int& modalResult) {
    if (!impl_->constructed || impl_->showing) {
        return E_INVALID_STATE;
    }
    impl_->showing = true;
    auto* overlay = new host::Overlay(host::Overlay::Kind::kModal, true);
    const std::vector<ButtonChoice> buttons = ButtonsOf(impl_->style);
    auto* widget = new host::MessageBoxWidget(*this, overlay, host::ToQString(impl_->title.Units()),
                                              host::ToQString(impl_->text.Units()), buttons);
    QEventLoop loop;
    int answer = MSGBOX_RESULT_CLOSE;
    auto finish = [&loop, &answer](int value) {
        answer = value;
        loop.exit();
    };
    widget->onResult = finish;
    overlay->onResize = [widget] { widget->Place(); };
    overlay->onKey = [&buttons, &finish](QKeyEvent& event) {
        switch (event.key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_F1:
                finish(buttons.empty() ? MSGBOX_RESULT_CLOSE : buttons.front().result);
                return true;
            case Qt::Key_Escape:
            case Qt::Key_F2:
                finish(buttons.empty() ? MSGBOX_RESULT_CLOSE : buttons.back().result);
                return true;
            default:
                return false;
        }
    };
    overlay->Open();
    widget->Place();
    widget->show();

    std::vector<host::MessageBoxRecord>& log = host::MessageBoxLog();
    log.push_back(
        {impl_->title.Units(), impl_->text.Units(), impl_->style, impl_->timeout, MSGBOX_RESULT_CLOSE});
    const size_t record = log.size() - 1;
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.setTimerType(Qt::PreciseTimer);  // a box must not close before its time
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&finish] { finish(MSGBOX_RESULT_CLOSE); });
    if (!host::PlannedMessageBoxAnswers().empty()) {
        const int planned = host::PlannedMessageBoxAnswers().front();
        host::PlannedMessageBoxAnswers().pop_front();
        QTimer::singleShot(0, &loop, [&finish, planned] { finish(planned); });
    } else if (impl_->timeout > 0) {
        timeout.start(static_cast<int>(std::min<unsigned long>(impl_->timeout, 0x7FFFFFFF)));
    }
    loop.exec();

    overlay->onKey = nullptr;
    overlay->onResize = nullptr;
    widget->onResult = nullptr;
    widget->ReleaseOwner();
    overlay->Close();
    overlay->deleteLater();
    log[record].result = answer;
    impl_->showing = false;
    modalResult = answer;
    return E_SUCCESS;
}

String MessageBox::GetTitleText() const {
    return impl_->title;
}

String MessageBox::GetText() const {
    return impl_->text;
}

MessageBoxStyle MessageBox::GetStyle() const {
    return impl_->style;
}

unsigned long MessageBox::GetTimeout() const {
    return impl_->timeout;
}

}  // namespace Osp::Ui::Controls
