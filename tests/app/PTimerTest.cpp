#include "app/PTimer.h"

#include <gtest/gtest.h>

namespace {

// A clock the test moves by hand, in milliseconds; it starts close to the wrap-around of 32 bits.
unsigned int gNow = 0;
unsigned int FakeClock() {
    return gNow;
}

class PTimerTest : public ::testing::Test {
protected:
    void SetUp() override { gNow = 0xFFFFFFFFu - 3000; }
    void Advance(unsigned int ms) { gNow += ms; }
};

TEST_F(PTimerTest, EstimatesFromTheWholeRunAcrossAClockWrap) {
    PTimer timer(0, 100, FakeClock);
    timer.Start();
    EXPECT_EQ(timer.GetRemainingTime(true), PTimer::kNoEstimate / 10);
    Advance(10000);  // passes the clock's wrap-around
    timer.SetPos(25);
    EXPECT_EQ(timer.GetElapsedTime(false), 10u);
    EXPECT_EQ(timer.GetRemainingTime(false), 30u);
    EXPECT_EQ(timer.GetPercent(), 25u);
}

TEST_F(PTimerTest, PositionsGoOnlyForwardWithinTheRange) {
    PTimer timer(10, 20, FakeClock);
    timer.Start();
    timer.SetPos(15);
    timer.SetPos(12);
    timer.SetPos(21);
    EXPECT_EQ(timer.GetPercent(), 50u);
}

TEST_F(PTimerTest, PausedTimeIsNotCounted) {
    PTimer timer(0, 100, FakeClock);
    timer.Start();
    Advance(2000);
    timer.Pause();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_TRUE(timer.IsPaused());
    Advance(60000);
    timer.SetPos(50);  // ignored while paused
    timer.Resume();
    Advance(2000);
    timer.SetPos(50);
    EXPECT_EQ(timer.GetElapsedTime(true), 4u);
    EXPECT_EQ(timer.GetRemainingTime(false), 4u);
}

// Regression: a position within the same tenth of a second as the last one was dropped, so the final
// SetPos(max) of a fast job left the percentage short of 100.
TEST_F(PTimerTest, TheFinalPositionCountsEvenWithinTheSameTick) {
    PTimer timer(0, 1000, FakeClock);
    timer.Start();
    timer.SetPos(999);
    timer.SetPos(1000);
    EXPECT_EQ(timer.GetPercent(), 100u);
    EXPECT_EQ(timer.GetRemainingTime(false), 0u);
}

// Regression: an empty range divided by zero.
TEST_F(PTimerTest, EmptyRangeAndRangeChangesStaySafe) {
    PTimer timer(0, 100, FakeClock);
    timer.SetRange(7, 7);
    EXPECT_EQ(timer.GetPercent(), 100u);
    timer.Start();
    timer.SetPos(7);
    Advance(500);
    EXPECT_EQ(timer.GetRemainingTime(true), PTimer::kNoEstimate / 10);

    PTimer running(0, 100, FakeClock);
    running.Start();
    running.SetPos(80);
    running.SetRange(50, 40);  // while running: the minimum stays, the maximum never below the position
    unsigned int min = 1, max = 1;
    running.GetRange(&min, &max);
    EXPECT_EQ(min, 0u);
    EXPECT_EQ(max, 80u);
    EXPECT_EQ(running.GetPercent(), 100u);
    running.GetRange(nullptr, nullptr);
}

TEST_F(PTimerTest, StopEndsTheEstimate) {
    PTimer timer(0, 100, FakeClock);
    timer.Start();
    Advance(1000);
    timer.SetPos(50);
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.GetRemainingTime(true), PTimer::kNoEstimate / 10);
    EXPECT_EQ(timer.GetElapsedTime(true), 1u);
}

TEST(TickCountTest, DifferencesAreTakenAcrossTheWrap) {
    const unsigned int start = GetTickCount();
    EXPECT_LT(TicksSince(start), 1000u);
    EXPECT_GE(TicksSince(start - 5), 5u);
}

}  // namespace
