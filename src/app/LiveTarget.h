#pragma once
// Lets an answer that is delivered later find out whether its receiver still exists. Every object that
// derives from LiveTarget is entered into a process-wide table when it is built and taken out when it is
// destroyed, under a fresh token, so that an answer can carry a LiveRef (pointer and token) instead of a
// bare pointer. A new object that happens to reuse a dead one's address gets a new token, so an old
// answer never reaches it.
//
// Any thread may build, destroy and check targets. A check and the call that follows it are only safe
// together when the target dies on the thread that makes them: listeners and event handlers die on the
// user-interface thread, which is also where their answers are delivered.

class LiveTarget {
public:
    using Token = unsigned long long;

    Token GetLiveToken() const { return token_; }
    // True while the object that was at target when token was taken still exists.
    static bool IsAlive(const LiveTarget* target, Token token);

protected:
    LiveTarget();
    // A copy is a different object: it gets its own token.
    LiveTarget(const LiveTarget&);
    LiveTarget& operator=(const LiveTarget&) { return *this; }
    ~LiveTarget();

private:
    Token token_;
};

// A pointer that forgets its target once the target is destroyed.
template <typename T>
class LiveRef {
public:
    LiveRef() = default;
    explicit LiveRef(T* target) : target_(target), token_(target != nullptr ? target->GetLiveToken() : 0) {}

    // The target, or null when there was none or it has been destroyed since.
    T* Get() const { return target_ != nullptr && LiveTarget::IsAlive(target_, token_) ? target_ : nullptr; }

private:
    T* target_ = nullptr;
    LiveTarget::Token token_ = 0;
};
