#pragma once
// Runs the user-interface thread's event loop until a condition holds or the time is up. The loop sleeps
// while nothing happens, so that a waiting test leaves the processor to the threads and servers it waits
// for; a timer wakes it now and then for conditions no event announces.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

inline bool LoopUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(10);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}
