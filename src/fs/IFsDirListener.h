#pragma once
// Receives the answers of a folder handle, on the user-interface thread. A new object handed over with
// result 0 belongs to the listener; a failure carries a null object.

#include "app/LiveTarget.h"

class IFsDir;
class IFsDirEnum;

class IFsDirListener : public LiveTarget {
public:
    virtual void OnOpenEnumerator(unsigned long result, IFsDirEnum* enumerator) = 0;
    virtual void OnOpenSubDir(unsigned long result, IFsDir* dir) = 0;

protected:
    ~IFsDirListener() = default;
};
