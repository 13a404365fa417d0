#pragma once
// Folders of the phone's storage by their virtual paths. ReadN lists a folder once: its entries in the
// host's order, without "." and "..", each with the size, times and flags of what it names (a link is
// described by its target; a link whose target is gone by the link itself).

#include <memory>
#include <vector>

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Io {

using Osp::Base::result;
using Osp::Base::String;

class DirEntry : public Osp::Base::Object {
public:
    String GetName() const { return name; }
    long long GetFileSize() const { return size; }
    Osp::Base::DateTime GetDateTime() const { return modified; }
    Osp::Base::DateTime GetLastModifiedTime() const { return modified; }
    bool IsDirectory() const { return directory; }
    bool IsHidden() const { return hidden; }
    bool IsReadOnly() const { return readOnly; }
    // A symbolic link; the other values describe its target when there is one.
    bool IsLink() const { return link; }
    // Neither a regular file nor a folder: a pipe, socket or device.
    bool IsSpecial() const { return special; }

    String name;
    long long size = 0;
    Osp::Base::DateTime modified;
    bool directory = false;
    bool hidden = false;
    bool readOnly = false;
    bool link = false;
    bool special = false;
};

class DirEnumerator : public Osp::Base::Object {
public:
    // E_SUCCESS while there is a current entry; E_END_OF_FILE after the last one.
    result MoveNext();
    const DirEntry& GetCurrentDirEntry() const { return entries_[current_]; }
    result Reset();

private:
    friend class Directory;
    std::vector<DirEntry> entries_;
    size_t current_ = static_cast<size_t>(-1);
};

class Directory : public Osp::Base::Object {
public:
    // Succeeds when the path names an existing folder.
    result Construct(const String& path);
    // A new enumerator of the folder (null on failure, with the last result set).
    DirEnumerator* ReadN();

    static result Create(const String& path, bool createParentDirectories = false);
    // Without recursive only an empty folder is removed. Recursive removal never follows links.
    static result Remove(const String& path, bool recursive = false);
    static result Rename(const String& oldPath, const String& newPath);
    // Removes the regular files directly inside the folder and nothing else: sub-folders, links and
    // special files stay. A path that is itself a link is refused with E_INVALID_ARG. Every file is tried;
    // the first failure is returned.
    static result RemoveFiles(const String& path);

private:
    String path_;
    bool constructed_ = false;
};

}  // namespace Osp::Io
