#include "app/PTimer.h"

#include <algorithm>

#include "Osp/System/SystemTime.h"

unsigned int GetTickCount() {
    Osp::Base::TimeSpan uptime;
    Osp::System::SystemTime::GetUptime(uptime);
    return static_cast<unsigned int>(uptime.GetTicks());
}

unsigned int TicksSince(unsigned int start) {
    return GetTickCount() - start;
}

PTimer::PTimer(unsigned int min, unsigned int max, Clock clock)
    : clock_(clock), min_(min), max_(max < min ? min + 1 : max), pos_(min) {}

void PTimer::SetRange(unsigned int min, unsigned int max) {
    if (flags_ & kRunning) {
        max_ = std::max(max, pos_);
        Estimate();
    } else {
        min_ = min;
        max_ = std::max(max, min);
        pos_ = min;
    }
}

void PTimer::GetRange(unsigned int* min, unsigned int* max) const {
    if (min != nullptr) {
        *min = min_;
    }
    if (max != nullptr) {
        *max = max_;
    }
}

void PTimer::Start() {
    if (flags_ & kRunning) {
        return;
    }
    flags_ = kRunning;
    lastTick_ = clock_();
    pos_ = min_;
    elapsedMs_ = 0;
    remaining_ = kNoEstimate;
}

void PTimer::SetPos(unsigned int pos) {
    if (IsRunning() && pos >= pos_ && pos <= max_) {
        Account(pos);
    }
}

// Positions that come faster than the clock's tenths are still taken, the final one above all; the time
// is kept in milliseconds so that such short steps add up.
void PTimer::Account(unsigned int pos) const {
    const unsigned int now = clock_();
    elapsedMs_ += now - lastTick_;
    lastTick_ = now;
    if (pos != pos_) {
        pos_ = pos;
        Estimate();
    }
}

void PTimer::Pause() {
    if (IsRunning()) {
        Account(pos_);
        flags_ |= kPaused;
    }
}

void PTimer::Resume() {
    if (IsPaused()) {
        lastTick_ = clock_();
        flags_ &= ~kPaused;
    }
}

void PTimer::Stop() {
    if (IsRunning()) {
        Account(pos_);
    }
    flags_ = 0;
    remaining_ = kNoEstimate;
}

unsigned int PTimer::GetElapsedTime(bool refresh) const {
    if (refresh && IsRunning()) {
        Account(pos_);
    }
    return static_cast<unsigned int>(elapsedMs_ / 1000);
}

unsigned int PTimer::GetRemainingTime(bool refresh) const {
    if (refresh && IsRunning()) {
        Account(pos_);
    }
    return remaining_ / 10;
}

unsigned int PTimer::GetPercent() const {
    if (max_ <= min_) {
        return 100;
    }
    const unsigned long long percent = static_cast<unsigned long long>(pos_ - min_) * 100 / (max_ - min_);
    return static_cast<unsigned int>(std::min<unsigned long long>(percent, 100));
}

void PTimer::Estimate() const {
    if (pos_ <= min_) {
        remaining_ = kNoEstimate;
        return;
    }
    const unsigned long long elapsed = std::min<unsigned long long>(elapsedMs_ / 100, 0xFFFFFFFF);
    const unsigned long long total = static_cast<unsigned long long>(max_ - min_) * elapsed / (pos_ - min_);
    remaining_ = total - elapsed < kNoEstimate ? static_cast<unsigned int>(total - elapsed) : kNoEstimate;
}
