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

// A move between file systems: the copy gets the source's time and reaches the disk before the source
// goes; when anything fails, the copy goes and the source stays.
result MoveAcrossFileSystems(const Osp::Base::String& source, const Osp::Base::String& destination) {
    Osp::Io::FileAttributes attributes;
    result r = Osp::Io::File::GetAttributes(source, attributes);
    if (r != Osp::Base::E_SUCCESS) {
        return r;
    }
    r = Osp::Io::File::Copy(source, destination, true);
    if (r != Osp::Base::E_SUCCESS) {
        return r;
    }
    r = Osp::Io::File::SetLastModifiedTime(destination, attributes.GetLastModifiedTime());
    if (r == Osp::Base::E_SUCCESS) {
        r = Osp::Io::File::SyncStorage(destination);
    }
    if (r == Osp::Base::E_SUCCESS) {
        r = Osp::Io::File::Remove(source);
    }
    if (r != Osp::Base::E_SUCCESS) {
        Osp::Io::File::Remove(destination);
    }
    return r;
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
    if (r != Osp::Base::E_SUCCESS) {
        return r;
    }
    r = Osp::Io::File::Move(sourcePath, destinationPath);
    // The paths were checked: a refused rename means another file system, as a memory card has.
    return r == Osp::Base::E_INVALID_ARG ? MoveAcrossFileSystems(sourcePath, destinationPath) : r;
}

}  // namespace Osp::Content
