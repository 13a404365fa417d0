#pragma once
// Adds up what the shown trashes hold, on a worker thread, for the main list's "Trash" item: the home
// trash is the desktop's own, shared with every other program, and may hold more than the screen can
// walk while the user waits.
//
// Contract: made, started and destroyed on the user-interface thread. The worker only reads; its answer
// comes to the callback on the user-interface thread, through the application's event queue, and only for
// the latest Start. Starting again or destroying the sizer stops a count under way and joins its worker,
// which ends after the entry it is reading.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/IUserEventHandler.h"

class TrashSizer : private IUserEventHandler {
public:
    using Callback = std::function<void(unsigned long long bytes, size_t items)>;

    explicit TrashSizer(Callback callback);
    ~TrashSizer();
    TrashSizer(const TrashSizer&) = delete;
    TrashSizer& operator=(const TrashSizer&) = delete;

    // Counts the trash folders (virtual, each ending in '/'); false when the worker cannot start.
    bool Start(std::vector<std::wstring> folders);

private:
    class Worker;

    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override;

    Callback callback_;
    unsigned int count_ = 0;  // of Start calls: an answer of an earlier one is dropped
    std::unique_ptr<Worker> worker_;
};
