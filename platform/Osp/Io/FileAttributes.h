#pragma once

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Object.h"

namespace Osp::Io {

// What the file system tells of one file or folder. Times are UTC.
class FileAttributes : public Osp::Base::Object {
public:
    long long GetFileSize() const { return size; }
    Osp::Base::DateTime GetDateTime() const { return created; }
    Osp::Base::DateTime GetLastModifiedTime() const { return modified; }
    bool IsDirectory() const { return directory; }
    bool IsHidden() const { return hidden; }
    bool IsReadOnly() const { return readOnly; }
    // A symbolic link; the other values describe its target when there is one.
    bool IsLink() const { return link; }
    // Neither a regular file nor a folder: a pipe, socket or device.
    bool IsSpecial() const { return special; }

    long long size = 0;
    Osp::Base::DateTime created;
    Osp::Base::DateTime modified;
    bool directory = false;
    bool hidden = false;  // the name begins with '.'
    bool readOnly = false;
    bool link = false;
    bool special = false;
};

}  // namespace Osp::Io
