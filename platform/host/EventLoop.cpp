#include "host/EventLoop.h"

#include <QApplication>
#include <clocale>

#include "Osp/App/Application.h"

namespace host {
namespace {
int g_argc = 1;
char g_program[] = "corvane";
char* g_defaultArgv[] = {g_program, nullptr};
char** g_argv = g_defaultArgv;
}  // namespace

const QEvent::Type UserEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

UserEvent::~UserEvent() {
    if (args != nullptr) {
        if (auto* array = dynamic_cast<Osp::Base::Collection::ArrayList*>(args)) {
            array->RemoveAll(true);
        }
        delete args;
    }
}

void SetArguments(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
}

void EnsureQtApplication() {
    if (QCoreApplication::instance() == nullptr) {
        // Wide-character case mapping and classification follow Unicode, whatever the host's locale.
        std::setlocale(LC_CTYPE, "C.UTF-8");
        // Fractional scales (1.5 on many phones) are kept as they are, so that text and icons are drawn
        // for the screen's real pixels rather than rounded to the next whole scale.
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
        // Kept for the rest of the process: Qt allows one application object per process.
        new QApplication(g_argc, g_argv);
    }
}

UserEventReceiver& UserEventReceiver::Instance() {
    static UserEventReceiver* receiver = [] {
        EnsureQtApplication();
        auto* r = new UserEventReceiver;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    return *receiver;
}

void UserEventReceiver::customEvent(QEvent* event) {
    if (event->type() != UserEvent::kType) {
        return;
    }
    auto* e = static_cast<UserEvent*>(event);
    Osp::App::Application* app = Osp::App::Application::GetInstance();
    if (app == nullptr) {
        return;  // the list is deleted with the event
    }
    Osp::Base::Collection::IList* args = e->args;
    e->args = nullptr;
    app->OnUserEventReceivedN(e->id, args);
}

}  // namespace host
