#include "Osp/Content/ContentManagerUtil.h"

#include "Osp/Io/File.h"
#include "host/ContentStore.h"

namespace Osp::Content {
namespace {

result CheckPaths(const Osp::Base::String& source, const Osp::Base::String& destination) {
    if (!host::IsMediaPath(destination.Units())) {
        return Osp::Base::E_INVALID_ARG;
    }
    Osp::Io::FileAttributes attributes;
    result r = Osp::Io::File::GetAttributes(source, attributes);
    if (r != Osp::Base::E_SUCCESS) {
        return r;
    }
    return attributes.IsDirectory() ? Osp::Base::E_INVALID_ARG : Osp::Base::E_SUCCESS;
}

}  // namespace

result ContentManagerUtil::CopyToMediaDirectory(const Osp::Base::String& sourcePath,
                                                const Osp::Base::String& destinationPath) {
    result r = CheckPaths(sourcePath, destinationPath);
    return r != Osp::Base::E_SUCCESS ? r : Osp::Io::File::Copy(sourcePath, destinationPath, true);
}

result ContentManagerUtil::MoveToMediaDirectory(const Osp::Base::String& sourcePath,
                                                const Osp::Base::String& destinationPath) {
    result r = CheckPaths(sourcePath, destinationPath);
    return r != Osp::Base::E_SUCCESS ? r : Osp::Io::File::Move(sourcePath, destinationPath);
}

}  // namespace Osp::Content
