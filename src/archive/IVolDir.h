#pragma once
// A folder of an opened volume and the enumeration of its children, used on the archive worker only.
// Both point into their volume, which outlives them.

class IFsDirEntry;

class IVolDirEnum {
public:
    virtual ~IVolDirEnum() = default;
    // *out gets the next child (owned by the caller), or null at the end; the result is 0 or a failure.
    virtual unsigned long GetEntryN(IFsDirEntry** out) = 0;
};

class IVolDir {
public:
    virtual ~IVolDir() = default;
    // A new enumerator of the folder's children, in the order of their lower-case names.
    virtual IVolDirEnum* OpenEnumeratorN() = 0;
};
