#pragma once
// Putting files into the media folders. The destination must lie below "/Media/" or "/Storagecard/Media/"
// (E_INVALID_ARG otherwise) and must not exist (E_FILE_ALREADY_EXIST); the source is a file anywhere on
// the phone (E_INVALID_ARG for a folder). Any thread may call these; they block until done.

#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Content/ContentTypes.h"

namespace Osp::Content {

class ContentManagerUtil {
public:
    static result CopyToMediaDirectory(const Osp::Base::String& sourcePath,
                                       const Osp::Base::String& destinationPath);
    static result MoveToMediaDirectory(const Osp::Base::String& sourcePath,
                                       const Osp::Base::String& destinationPath);
};

}  // namespace Osp::Content
