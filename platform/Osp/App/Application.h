#pragma once
// The application: one instance per process, created by Execute through the factory. Execute runs the
// event loop of the user-interface thread (the thread that calls it) until Terminate. SendUserEvent may be
// called from any thread: each event is delivered once to OnUserEventReceivedN on the user-interface
// thread, in the order of sending; the receiver owns the list. Events still queued when the loop ends are
// deleted with their lists and elements.

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/Runtime/Thread.h"

namespace Osp::Ui::Controls {
class Frame;
}

namespace Osp::App {

using Osp::Base::result;
using RequestId = Osp::Base::Runtime::RequestId;

// What the application may keep between runs; this platform keeps nothing.
class AppRegistry : public Osp::Base::Object {};

enum BatteryLevel { BATTERY_FULL, BATTERY_HIGH, BATTERY_LOW, BATTERY_CRITICAL, BATTERY_EMPTY };

class Application : public Osp::Base::Object {
public:
    using ApplicationInstanceFactory = Application* (*)();

    Application();
    ~Application() override;

    // Creates the application, calls OnAppInitializing and, when it succeeds, runs the loop. After the
    // loop OnAppTerminating runs and the application is deleted. args stays the caller's.
    static result Execute(ApplicationInstanceFactory factory, const Osp::Base::Collection::IList* args);
    static Application* GetInstance();

    result SendUserEvent(RequestId requestId, const Osp::Base::Collection::IList* args);
    result Terminate();
    Osp::Ui::Controls::Frame* GetAppFrame() const;

    virtual bool OnAppInitializing(AppRegistry& registry) = 0;
    virtual bool OnAppTerminating(AppRegistry& registry, bool urgentTermination = false) = 0;
    virtual void OnForeground() {}
    virtual void OnBackground() {}
    virtual void OnLowMemory() {}
    virtual void OnBatteryLevelChanged(BatteryLevel level) {}
    virtual void OnUserEventReceivedN(RequestId requestId, Osp::Base::Collection::IList* args);
};

}  // namespace Osp::App
