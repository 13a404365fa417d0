#pragma once
// The base of event objects posted between threads with Corvane::PostUserEventEx. The kind is the event's
// request identifier. Whoever delivers the event deletes it after the handler ran, through the virtual
// destructor; an event that is never delivered (its handler died, or the run ended first) is deleted
// unread.

#include "Osp/Base/Object.h"

class UserEvent : public Osp::Base::Object {
public:
    explicit UserEvent(int kind) : kind_(kind) {}
    ~UserEvent() override = default;

    int GetKind() const { return kind_; }

private:
    int kind_;
};
