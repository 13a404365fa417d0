#pragma once
// Measures how long a job with a known range of progress positions has been running and estimates how
// long it will still run, from the average rate of the whole run. Time comes from a clock that never
// jumps; time spent paused is not counted. Any difference of two readings
// is taken in unsigned arithmetic, so that a reading that wrapped around still gives the right distance.
// Used by one thread (the user-interface thread).

// The clock in milliseconds, as an unsigned 32-bit value that wraps around after about 49 days.
unsigned int GetTickCount();
// Milliseconds since the reading start of GetTickCount, correct across a wrap-around.
unsigned int TicksSince(unsigned int start);

class PTimer {
public:
    static constexpr unsigned int kNoEstimate = 0xFFFFFFFF;

    // Milliseconds of a clock that never jumps; tests give their own.
    using Clock = unsigned int (*)();

    // Stopped, nothing elapsed, no estimate. A max below min becomes min + 1.
    PTimer(unsigned int min, unsigned int max, Clock clock = ::GetTickCount);

    static unsigned int GetTickCount() { return ::GetTickCount(); }

    // While running the minimum stays and the maximum is never set below the position reached.
    void SetRange(unsigned int min, unsigned int max);
    void GetRange(unsigned int* min, unsigned int* max) const;

    void Start();
    // Positions only go forward and stay within the range; other values change nothing.
    void SetPos(unsigned int pos);
    void Pause();
    void Resume();
    void Stop();

    // Whole seconds. With refresh, the time up to now is accounted first (while running and not paused).
    // A missing estimate reads as kNoEstimate / 10.
    unsigned int GetElapsedTime(bool refresh) const;
    unsigned int GetRemainingTime(bool refresh) const;
    // The share of the range covered, from 0 to 100; an empty range counts as covered.
    unsigned int GetPercent() const;
    bool IsRunning() const { return (flags_ & (kRunning | kPaused)) == kRunning; }
    bool IsPaused() const { return (flags_ & kPaused) != 0; }

private:
    static constexpr unsigned int kRunning = 1;
    static constexpr unsigned int kPaused = 2;

    void Account(unsigned int pos) const;
    void Estimate() const;

    Clock clock_;
    unsigned int min_;
    unsigned int max_;
    unsigned int flags_ = 0;
    // Advanced by the const getters when they refresh.
    mutable unsigned int pos_;
    mutable unsigned long long elapsedMs_ = 0;
    mutable unsigned int remaining_ = kNoEstimate;  // tenths of a second
    mutable unsigned int lastTick_ = 0;             // GetTickCount of the last accounting
};
