#include "Osp/App/Application.h"

#include <QApplication>

#include "Osp/Ui/Controls/Frame.h"
#include "host/EventLoop.h"
#include "host/StartScreenshot.h"

namespace Osp::App {
namespace {
Application* g_instance = nullptr;
}

Application::Application() = default;
Application::~Application() = default;

result Application::Execute(ApplicationInstanceFactory factory, const Osp::Base::Collection::IList*) {
    if (factory == nullptr || g_instance != nullptr) {
        return Osp::Base::E_INVALID_STATE;
    }
    host::EnsureQtApplication();
    host::UserEventReceiver::Instance();
    Application* app = factory();
    if (app == nullptr) {
        return Osp::Base::E_OUT_OF_MEMORY;
    }
    g_instance = app;
    AppRegistry registry;
    result r = Osp::Base::E_SUCCESS;
    if (app->OnAppInitializing(registry)) {
        app->GetAppFrame()->Show();
        host::ArrangeStartScreenshot();
        QApplication::exec();
        // Events posted but not delivered belong to this run: drop them before the application goes.
        QCoreApplication::removePostedEvents(&host::UserEventReceiver::Instance(), host::UserEvent::kType);
        app->OnAppTerminating(registry, false);
    } else {
        r = Osp::Base::E_FAILURE;
    }
    // The forms go with the application, before it, since they may point at what it owns.
    Osp::Ui::Controls::Frame* frame = app->GetAppFrame();
    while (frame->GetControlCount() > 0) {
        frame->RemoveControl(*frame->GetControl(0));
    }
    g_instance = nullptr;
    delete app;
    return r;
}

Application* Application::GetInstance() {
    return g_instance;
}

result Application::SendUserEvent(RequestId requestId, const Osp::Base::Collection::IList* args) {
    QCoreApplication::postEvent(
        &host::UserEventReceiver::Instance(),
        new host::UserEvent(requestId, const_cast<Osp::Base::Collection::IList*>(args)));
    return Osp::Base::E_SUCCESS;
}

result Application::Terminate() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    return Osp::Base::E_SUCCESS;
}

void Application::OnUserEventReceivedN(RequestId, Osp::Base::Collection::IList* args) {
    if (auto* array = dynamic_cast<Osp::Base::Collection::ArrayList*>(args)) {
        array->RemoveAll(true);
    }
    delete args;
}

}  // namespace Osp::App
