#pragma once
// Calling listeners safely: a listener may remove other listeners or delete the control that calls it.

#include <algorithm>
#include <memory>
#include <vector>

namespace host {

// Calls fn(listener) for each listener of the list that getList returns. The list is asked again before
// every call, so listeners removed meanwhile are skipped; the calls stop when life expires (the control
// was deleted). Returns whether the control still lives.
template <typename L, typename GetList, typename Fn>
bool Notify(const std::weak_ptr<int>& life, GetList getList, Fn fn) {
    const std::vector<L*> snapshot = getList();
    for (L* listener : snapshot) {
        if (life.expired()) {
            return false;
        }
        const std::vector<L*>& live = getList();
        if (std::find(live.begin(), live.end(), listener) != live.end()) {
            fn(*listener);
        }
    }
    return !life.expired();
}

template <typename L>
void AddListener(std::vector<L*>& list, const L& listener) {
    L* p = const_cast<L*>(&listener);
    if (std::find(list.begin(), list.end(), p) == list.end()) {
        list.push_back(p);
    }
}

template <typename L>
void RemoveListener(std::vector<L*>& list, const L& listener) {
    list.erase(std::remove(list.begin(), list.end(), &listener), list.end());
}

}  // namespace host
