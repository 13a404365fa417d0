#pragma once
// Runs the user-interface thread's event loop until a condition holds or the time is up.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

inline bool LoopUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}
