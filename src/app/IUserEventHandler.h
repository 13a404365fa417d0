#pragma once
// The receiver of posted user events (Corvane::PostUserEvent and PostUserEventEx). Both calls come on the
// user-interface thread, in the order of posting. An event whose handler has been destroyed before it
// was delivered is dropped; a handler therefore need not wait for its events before it dies, but it must
// die on the user-interface thread or while nothing can deliver to it.

#include "app/LiveTarget.h"
#include "app/UserEvent.h"

class IUserEventHandler : public LiveTarget {
public:
    // An event that is only a number.
    virtual void OnUserEvent(int code) = 0;
    // An event object; it stays the caller's and is deleted after this returns.
    virtual void OnUserEventEx(UserEvent* event) = 0;

protected:
    ~IUserEventHandler() = default;
};
