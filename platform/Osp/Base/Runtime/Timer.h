#pragma once
// A one-shot timer of the user-interface thread: OnTimerExpired is called on that thread once, the given
// number of milliseconds after Start, unless Cancel comes first. Starting a running timer restarts it.
// Construct, Start and Cancel are called on the user-interface thread.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base::Runtime {

class Timer;

class ITimerEventListener {
public:
    virtual ~ITimerEventListener() = default;
    virtual void OnTimerExpired(Timer& timer) = 0;
};

class Timer : public Object {
public:
    Timer();
    ~Timer() override;
    result Construct(ITimerEventListener& listener);
    result Start(int milliseconds);
    result Cancel();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Base::Runtime
