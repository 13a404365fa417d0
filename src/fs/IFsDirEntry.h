#pragma once
// One file or folder of a folder. An entry handed to IFsDirEnumListener::OnGetEntry may read its answers
// from its enumerator's current position: it is only valid during that callback, and a listener that
// keeps it must copy what it needs instead of calling it later. An entry from GetFileInfoA stands alone.
// Used on the user-interface thread only.

#include <string>

#include "Osp/Base/DateTime.h"

class IFsDirEntry {
public:
    virtual ~IFsDirEntry() = default;

    // The name without any path.
    virtual std::wstring GetName() const = 0;
    // Bytes; 0 for folders where the storage says so.
    virtual unsigned long long GetSize() const = 0;
    // TEntryType flags.
    virtual int GetType() const = 0;
    // The default date when the entry came from an enumeration without details.
    virtual Osp::Base::DateTime GetTimeModified() const = 0;
};
