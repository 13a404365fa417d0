// Flick scrolling: the deceleration table, taps that do not scroll, glides that slow down tick by tick,
// touches that catch a glide and fingers that rest before lifting.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Osp/Base/Runtime/Timer.h"
#include "testsupport/UiDriver.h"
#include "ui/KineticScroll.h"

namespace {

using Osp::Graphics::Point;

// A view 10,000 pixels high that records where it was scrolled.
class View : public IScrollable {
public:
    int GetHorizontalScroll() const override { return 0; }
    int GetVerticalScroll() const override { return y; }
    void SetScrollPos(const Point& p, bool) override { y = std::clamp(p.y, 0, 10000); }
    int y = 0;
};

TEST(DeaccelerateTest, SlowsEachAxisByTheStepOfItsRow) {
    struct Case {
        int speed;
        int expected;
    };
    const Case cases[] = {
        {9000, 6000},  // clamped to the maximum first
        {6144, 6000}, {3072, 2928}, {3071, 2975},  {1536, 1440},
        {1535, 1487}, {960, 912},   {959, 953},  // the fourth row's small step
        {864, 858},   {863, 839},   {384, 360},    {383, 371},
        {10, 0},      {0, 0},       {-1000, -952}, {-5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(deaccelerate(Point(c.speed, 0), 6144), Point(c.expected, 0)) << c.speed;
        EXPECT_EQ(deaccelerate(Point(0, c.speed), 6144), Point(0, c.expected)) << c.speed;
    }
}

class KineticScrollTest : public ::testing::Test {
protected:
    // Real time passes between touches without the event loop running, so that only the test's own
    // ticks move the view.
    static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // A finger moving from y = 600 up by 60 pixels every 20 ms.
    void Flick() {
        EXPECT_TRUE(scroll.EventFilter(KineticScroll::kPress, Point(100, 600)));
        for (int y = 540; y >= 360; y -= 60) {
            Wait(20);
            scroll.EventFilter(KineticScroll::kMove, Point(100, y));
        }
    }

    // One 40 ms tick; returns how far the view moved.
    int Tick() {
        const int before = view.y;
        scroll.OnTimerExpired(timer);
        return view.y - before;
    }

    testsupport::UiDriver ui;
    View view;
    KineticScroll scroll{&view};
    Osp::Base::Runtime::Timer timer;
};

TEST_F(KineticScrollTest, TapIsConsumedAndDoesNotScroll) {
    EXPECT_TRUE(scroll.EventFilter(KineticScroll::kPress, Point(50, 50)));
    EXPECT_FALSE(scroll.EventFilter(KineticScroll::kMove, Point(50, 53)));  // below the start distance
    EXPECT_TRUE(scroll.EventFilter(KineticScroll::kRelease, Point(50, 53)));
    ui.Pump(120);
    EXPECT_EQ(view.y, 0);
}

TEST_F(KineticScrollTest, ContentFollowsTheFingerThenGlidesAndSlowsByTheTableEachTick) {
    Flick();
    EXPECT_EQ(view.y, 240);  // the content followed the finger up
    scroll.EventFilter(KineticScroll::kRelease, Point(100, 360));
    EXPECT_LT(scroll.GetSpeed().y, 0);
    // From a known speed of 100 pixels a tick, each tick takes the first table row's 144/48 pixels off.
    scroll.SetSpeed(Point(0, -100));
    std::vector<int> steps;
    for (int i = 0; i < 4; ++i) {
        steps.push_back(Tick());
    }
    EXPECT_EQ(steps, (std::vector<int>{97, 94, 91, 88}));
    // It slows down to a stop.
    int last = steps.back();
    for (int step = Tick(); step != 0; step = Tick()) {
        EXPECT_LE(step, last);
        last = step;
    }
    EXPECT_EQ(scroll.GetSpeed(), Point(0, 0));
    const int stopped = view.y;
    Tick();
    EXPECT_EQ(view.y, stopped);
}

TEST_F(KineticScrollTest, GlideRunsOnItsOwnTimer) {
    Flick();
    scroll.EventFilter(KineticScroll::kRelease, Point(100, 360));
    const int atRelease = view.y;
    ui.Pump(300);
    EXPECT_GT(view.y, atRelease);
}

TEST_F(KineticScrollTest, TouchCatchesTheGlide) {
    Flick();
    scroll.EventFilter(KineticScroll::kRelease, Point(100, 360));
    Tick();
    EXPECT_TRUE(scroll.EventFilter(KineticScroll::kPress, Point(100, 200)));
    const int caught = view.y;
    EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(scroll.GetSpeed(), Point(0, 0));
    // The new drag starts from the touch point.
    Wait(20);
    scroll.EventFilter(KineticScroll::kMove, Point(100, 230));
    EXPECT_EQ(view.y, caught - 30);
}

TEST_F(KineticScrollTest, RestingBeforeLiftingEndsWithoutGliding) {
    Flick();
    Wait(300);
    scroll.EventFilter(KineticScroll::kRelease, Point(100, 360));
    const int atRelease = view.y;
    for (int i = 0; i < 5; ++i) {
        Tick();
    }
    EXPECT_EQ(view.y, atRelease);
}

}  // namespace
