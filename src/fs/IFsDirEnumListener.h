#pragma once
// Receives the entries of an enumeration, on the user-interface thread.

#include "app/LiveTarget.h"

class IFsDirEntry;

class IFsDirEnumListener : public LiveTarget {
public:
    // One call per entry with result 0; the entry belongs to the listener, which deletes it. The end is
    // a call with a null entry: result 0 after the last entry or a stop, another result on failure.
    // Nothing follows the call with a null entry.
    virtual void OnGetEntry(unsigned long result, const IFsDirEntry* entry) = 0;

protected:
    ~IFsDirEnumListener() = default;
};
