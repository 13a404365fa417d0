#pragma once
// What the platform needs to know of one host file, read with one stat call.

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Result.h"

namespace host {

struct FileStat {
    long long size = 0;
    Osp::Base::DateTime modified;  // UTC
    Osp::Base::DateTime changed;   // UTC
    bool directory = false;
    bool readOnly = false;
    bool link = false;     // the path itself is a symbolic link
    bool special = false;  // neither a regular file nor a folder: a pipe, socket or device
};

// Describes the target of a link, and says that it is one; a link whose target is gone is described by
// itself.
Osp::Base::result StatPath(int dirFd, const char* path, FileStat& out);

}  // namespace host
