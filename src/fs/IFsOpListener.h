#pragma once
// Receives the answer of one browser or folder operation, on the user-interface thread. The request
// identifier is the caller's own value, handed back unchanged so that one listener can tell its requests
// apart. object carries the new IFsDir of OpenDirA or the new IFsDirEntry of GetFileInfoA, which then
// belongs to the listener, and 0 for every other answer and for every failure. It is as wide as a pointer
// so that it carries one whole.
//
// An answer that is posted (rather than given inside the call) is dropped when its listener has been
// destroyed meanwhile; a new object it carried is deleted unseen.

#include <cstdint>

#include "app/LiveTarget.h"

class IFsOpListener : public LiveTarget {
public:
    virtual void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) = 0;

protected:
    ~IFsOpListener() = default;
};
