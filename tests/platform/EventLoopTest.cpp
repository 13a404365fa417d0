#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Osp/App/Application.h"
#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Runtime/Monitor.h"
#include "Osp/Base/Runtime/Thread.h"
#include "Osp/Base/Runtime/Timer.h"
#include "Osp/System/SystemTime.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"

using namespace Osp::Base;
using namespace Osp::Base::Runtime;
using Osp::App::Application;
using Osp::App::AppRegistry;

namespace {

// An argument that tells its destruction, so that tests see who deleted what.
struct Tracked : Object {
    explicit Tracked(std::atomic<int>* deleted) : deleted(deleted) {}
    ~Tracked() override { ++*deleted; }
    std::atomic<int>* deleted;
};

// Posts from several threads at once and records, on the loop thread, who sent what in which order.
class OrderApp : public Application {
public:
    static constexpr int kThreads = 4;
    static constexpr int kPerThread = 500;

    bool OnAppInitializing(AppRegistry&) override {
        loopThread = std::this_thread::get_id();
        for (int t = 0; t < kThreads; ++t) {
            senders.emplace_back([this, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    SendUserEvent(t * kPerThread + i, nullptr);
                }
            });
        }
        return true;
    }
    bool OnAppTerminating(AppRegistry&, bool) override {
        for (auto& s : senders) {
            s.join();
        }
        return true;
    }
    void OnUserEventReceivedN(int id, Collection::IList* args) override {
        onLoopThread = onLoopThread && std::this_thread::get_id() == loopThread;
        received.push_back(id);
        delete args;
        if (received.size() == kThreads * kPerThread) {
            Terminate();
        }
    }

    std::thread::id loopThread;
    bool onLoopThread = true;
    std::vector<std::thread> senders;
    std::vector<int> received;
};

std::vector<int> g_received;
bool g_onLoopThread;

class CopyOutApp : public OrderApp {
public:
    bool OnAppTerminating(AppRegistry& reg, bool urgent) override {
        OrderApp::OnAppTerminating(reg, urgent);
        g_received = received;
        g_onLoopThread = onLoopThread;
        return true;
    }
};

TEST(ApplicationEvents, EachSenderOrderIsKept) {
    ASSERT_EQ(Application::Execute([]() -> Application* { return new CopyOutApp; }, nullptr), E_SUCCESS);
    ASSERT_EQ(g_received.size(), size_t{OrderApp::kThreads * OrderApp::kPerThread});
    EXPECT_TRUE(g_onLoopThread);
    std::vector<int> next(OrderApp::kThreads, 0);
    for (int id : g_received) {
        int sender = id / OrderApp::kPerThread;
        EXPECT_EQ(id % OrderApp::kPerThread, next[sender]) << "sender " << sender << " out of order";
        next[sender] = id % OrderApp::kPerThread + 1;
    }
}

class SenderWorker : public Thread {
public:
    Object* Run() override {
        for (int i = 0; i < 3; ++i) {
            auto* list = new Collection::ArrayList;
            list->Add(new Tracked(deleted));
            Application::GetInstance()->SendUserEvent(i, list);
        }
        return nullptr;
    }
    std::atomic<int>* deleted = nullptr;
};

class OwnershipApp : public Application {
public:
    bool OnAppInitializing(AppRegistry&) override {
        worker.deleted = deleted;
        worker.Construct(THREAD_TYPE_WORKER);
        worker.Start();
        return true;
    }
    bool OnAppTerminating(AppRegistry&, bool) override {
        worker.Join();
        return true;
    }
    void OnUserEventReceivedN(int id, Collection::IList* args) override {
        // The receiver owns the list and its elements.
        static_cast<Collection::ArrayList*>(args)->RemoveAll(true);
        delete args;
        if (id == 2) {
            Terminate();
        }
    }
    SenderWorker worker;
    std::atomic<int>* deleted = nullptr;
};

std::atomic<int> g_deleted;

TEST(ApplicationEvents, ReceivedListsAndTheirElementsAreFreedOnce) {
    g_deleted = 0;
    ASSERT_EQ(Application::Execute(
                  []() -> Application* {
                      auto* app = new OwnershipApp;
                      app->deleted = &g_deleted;
                      return app;
                  },
                  nullptr),
              E_SUCCESS);
    EXPECT_EQ(g_deleted.load(), 3);
}

TEST(ApplicationEvents, FailedInitialisationEndsWithoutRunningTheLoop) {
    struct Refuse : Application {
        bool OnAppInitializing(AppRegistry&) override { return false; }
        bool OnAppTerminating(AppRegistry&, bool) override { return true; }
    };
    EXPECT_NE(Application::Execute([]() -> Application* { return new Refuse; }, nullptr), E_SUCCESS);
    EXPECT_EQ(Application::GetInstance(), nullptr);
}

// A worker with its own queue: events arrive on the worker, in order, until Stop.
class QueueWorker : public Thread {
public:
    void OnUserEventReceivedN(int id, Collection::IList* args) override {
        worker = std::this_thread::get_id();
        seen.push_back(id);
        delete args;
        monitor.Enter();
        monitor.Notify();
        monitor.Exit();
    }
    std::vector<int> seen;
    std::thread::id worker;
    Monitor monitor;
};

TEST(WorkerThread, OwnQueueDeliversOnTheWorkerInOrder) {
    QueueWorker w;
    ASSERT_EQ(w.Construct(THREAD_TYPE_EVENT_DRIVEN), E_SUCCESS);
    ASSERT_EQ(w.Start(), E_SUCCESS);
    w.monitor.Enter();
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(w.SendUserEvent(i, nullptr), E_SUCCESS);
    }
    // Each delivery notifies; wait until the hundredth.
    while (true) {
        w.monitor.Wait();
        if (w.seen.size() == 100)
            break;
    }
    w.monitor.Exit();
    w.Stop();
    w.Join();
    EXPECT_NE(w.worker, std::this_thread::get_id());
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(w.seen[i], i);
    }
    EXPECT_EQ(w.SendUserEvent(1, nullptr), E_INVALID_STATE) << "a stopped thread takes no more events";
}

TEST(WorkerThread, WorkerThreadRefusesEvents) {
    Thread t;
    t.Construct(THREAD_TYPE_WORKER);
    EXPECT_EQ(t.SendUserEvent(1, nullptr), E_INVALID_STATE);
}

// The hand-over the file proxy relies on: a worker waits, another thread stores an answer and notifies.
TEST(MonitorTest, WaitReturnsOnlyAfterANotifyFromAnotherThread) {
    Monitor m;
    m.Construct();
    int answer = 0;
    for (int round = 0; round < 200; ++round) {
        m.Enter();
        std::thread other([&] {
            m.Enter();
            answer = round + 1;
            m.Exit();
            m.Notify();  // after Exit, as the proxy's listeners do
        });
        ASSERT_EQ(m.Wait(), E_SUCCESS);
        EXPECT_EQ(answer, round + 1);
        m.Exit();
        other.join();
    }
}

TEST(MonitorTest, WaitWithoutEnterIsRefused) {
    Monitor m;
    EXPECT_EQ(m.Wait(), E_INVALID_STATE);
    EXPECT_EQ(m.Exit(), E_INVALID_STATE);
}

class TimerApp : public Application, public ITimerEventListener {
public:
    bool OnAppInitializing(AppRegistry&) override {
        SystemTimeNow(start);
        cancelled.Construct(*this);
        fired.Construct(*this);
        restarted.Construct(*this);
        cancelled.Start(30);
        fired.Start(60);
        restarted.Start(10);
        restarted.Start(120);  // restarting replaces the first start
        cancelled.Cancel();
        return true;
    }
    bool OnAppTerminating(AppRegistry&, bool) override { return true; }
    void OnTimerExpired(Timer& t) override {
        long long now;
        SystemTimeNow(now);
        events.push_back({&t, now - start});
        if (&t == &restarted) {
            Terminate();
        }
    }
    static void SystemTimeNow(long long& ms) { Osp::System::SystemTime::GetTicks(ms); }

    long long start = 0;
    Timer cancelled, fired, restarted;
    std::vector<std::pair<Timer*, long long>> events;
};

std::vector<std::pair<int, long long>> g_timerEvents;

TEST(TimerTest, OneShotTimersFireOnceCancelledOnesNever) {
    struct App : TimerApp {
        bool OnAppTerminating(AppRegistry& r, bool u) override {
            for (auto& e : events) {
                g_timerEvents.push_back({e.first == &fired ? 1 : e.first == &restarted ? 2 : 0, e.second});
            }
            return TimerApp::OnAppTerminating(r, u);
        }
    };
    ASSERT_EQ(Application::Execute([]() -> Application* { return new App; }, nullptr), E_SUCCESS);
    ASSERT_EQ(g_timerEvents.size(), 2u);
    EXPECT_EQ(g_timerEvents[0].first, 1);
    EXPECT_GE(g_timerEvents[0].second, 60);
    EXPECT_EQ(g_timerEvents[1].first, 2);
    EXPECT_GE(g_timerEvents[1].second, 120);
}

}  // namespace

namespace {

bool g_formOutlivedItsApplication = true;

// A form that notes, as it goes, whether the application that made it is still there.
class WatchingForm : public Osp::Ui::Controls::Form {
public:
    ~WatchingForm() override { g_formOutlivedItsApplication = Application::GetInstance() == nullptr; }
};

TEST(ApplicationForms, FormsAreRemovedBeforeTheApplicationGoes) {
    struct App : Application {
        bool OnAppInitializing(AppRegistry&) override {
            auto* form = new WatchingForm;
            form->Construct(Osp::Ui::Controls::FORM_STYLE_NORMAL);
            GetAppFrame()->AddControl(*form);
            GetAppFrame()->SetCurrentForm(*form);
            Terminate();
            return true;
        }
        bool OnAppTerminating(AppRegistry&, bool) override { return true; }
    };
    g_formOutlivedItsApplication = true;
    ASSERT_EQ(Application::Execute([]() -> Application* { return new App; }, nullptr), E_SUCCESS);
    EXPECT_FALSE(g_formOutlivedItsApplication);
    EXPECT_EQ(Application::GetInstance(), nullptr);
}

}  // namespace
