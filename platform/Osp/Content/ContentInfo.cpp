#include "Osp/Content/ContentInfo.h"

#include "Osp/Io/File.h"
#include "host/ContentStore.h"

namespace Osp::Content {

result ContentInfo::Construct(const Osp::Base::String& contentPath) {
    if (!host::IsMediaPath(contentPath.Units())) {
        return Osp::Base::E_INVALID_ARG;
    }
    Osp::Io::FileAttributes attributes;
    result r = Osp::Io::File::GetAttributes(contentPath, attributes);
    if (r != Osp::Base::E_SUCCESS) {
        return r;
    }
    if (attributes.IsDirectory()) {
        return Osp::Base::E_INVALID_ARG;
    }
    path_ = contentPath;
    constructed_ = true;
    return Osp::Base::E_SUCCESS;
}

}  // namespace Osp::Content
