#pragma once
// One file or folder of a share, as a listing page or a path query describes it; the entry holds all it
// tells, so it stays valid after its enumeration moved on. Also the rule for the names a server gives as
// entries of a folder. Used on the user-interface thread only.

#include <string>

#include "fs/IFsDirEntry.h"
#include "net/SmbFileInfo.h"

class SmbDirEntry : public IFsDirEntry {
public:
    // name is the entry's own name, without a path.
    SmbDirEntry(const SSmbFileInfo& info, const std::wstring& name);

    std::wstring GetName() const override { return name_; }
    unsigned long long GetSize() const override { return size_; }
    int GetType() const override { return type_; }
    Osp::Base::DateTime GetTimeModified() const override { return modified_; }

private:
    std::wstring name_;
    unsigned long long size_;
    int type_;
    Osp::Base::DateTime modified_;
};

// A name that can stand as one component of a path: not empty, not a step up, without a separator, a
// zero unit or a lone surrogate, and no longer than any file system allows.
bool IsPlainSmbName(const std::wstring& name);
