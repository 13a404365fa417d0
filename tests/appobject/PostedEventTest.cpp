// Posted user events: any thread posts, the user-interface thread delivers in order, event objects are
// deleted after their handler ran, and nothing reaches a handler that has died.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "../fs/CorvaneLoop.h"

namespace {

std::atomic<int> g_eventsAlive{0};

class NumberedEvent : public UserEvent {
public:
    NumberedEvent(int kind, int sender, int sequence) : UserEvent(kind), sender(sender), sequence(sequence) {
        ++g_eventsAlive;
    }
    ~NumberedEvent() override { --g_eventsAlive; }
    int sender;
    int sequence;
};

class Recorder : public IUserEventHandler {
public:
    void OnUserEvent(int code) override {
        codes.push_back(code);
        Check();
    }
    void OnUserEventEx(UserEvent* event) override {
        auto* numbered = static_cast<NumberedEvent*>(event);
        kinds.push_back(event->GetKind());
        bySender[numbered->sender].push_back(numbered->sequence);
        onLoopThread = onLoopThread && std::this_thread::get_id() == loopThread;
        Check();
    }
    void Check() {
        if (++received == expected) {
            CorvaneLoop::Quit();
        }
    }

    std::thread::id loopThread;
    bool onLoopThread = true;
    int expected = 0;
    int received = 0;
    std::vector<int> codes;
    std::vector<int> kinds;
    std::map<int, std::vector<int>> bySender;
};

TEST(PostedEventTest, SeveralThreadsPostAndEachKeepsItsOrder) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 300;
    Recorder recorder;
    recorder.expected = kThreads * kPerThread + 1;
    std::vector<std::thread> senders;
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        recorder.loopThread = std::this_thread::get_id();
        Corvane* app = Corvane::GetMyInstance();
        app->PostUserEvent(&recorder, 4321);
        for (int t = 0; t < kThreads; ++t) {
            senders.emplace_back([app, &recorder, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    app->PostUserEventEx(&recorder, new NumberedEvent(t + 100, t, i));
                }
            });
        }
    }));
    for (std::thread& s : senders) {
        s.join();
    }
    EXPECT_EQ(recorder.codes, std::vector<int>{4321});
    EXPECT_TRUE(recorder.onLoopThread);
    for (int t = 0; t < kThreads; ++t) {
        const std::vector<int>& got = recorder.bySender[t];
        ASSERT_EQ(got.size(), static_cast<size_t>(kPerThread));
        for (int i = 0; i < kPerThread; ++i) {
            ASSERT_EQ(got[i], i) << "sender " << t;
        }
    }
    EXPECT_EQ(recorder.kinds.size(), static_cast<size_t>(kThreads * kPerThread));
    EXPECT_EQ(g_eventsAlive, 0);
}

TEST(PostedEventTest, EventsOfADeadHandlerAreDroppedAndDeleted) {
    Recorder survivor;
    survivor.expected = 1;
    auto doomed = std::make_unique<Recorder>();
    std::vector<int>* doomedCodes = nullptr;
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        Corvane* app = Corvane::GetMyInstance();
        app->PostUserEvent(doomed.get(), 1);
        app->PostUserEventEx(doomed.get(), new NumberedEvent(2, 0, 0));
        doomed.reset();
        // Another handler at the same address is a different handler.
        doomed = std::make_unique<Recorder>();
        doomedCodes = &doomed->codes;
        app->PostUserEvent(&survivor, 3);
    }));
    EXPECT_TRUE(doomedCodes->empty());
    EXPECT_EQ(survivor.codes, std::vector<int>{3});
    EXPECT_EQ(g_eventsAlive, 0);
}

}  // namespace
