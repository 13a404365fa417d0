#include "Osp/Content/ContentManager.h"

#include "host/ContentStore.h"

namespace Osp::Content {

result ContentManager::Construct() {
    constructed_ = true;
    return Osp::Base::E_SUCCESS;
}

ContentId ContentManager::CreateContent(const ContentInfo& info) {
    ContentId id;
    result r = !constructed_ ? Osp::Base::E_INVALID_STATE
               : !info.IsConstructed()
                   ? Osp::Base::E_INVALID_ARG
                   : host::ContentStore::Instance().Add(info.GetContentPath().Units(), id);
    Osp::Base::SetLastResult(r);
    return r == Osp::Base::E_SUCCESS ? id : InvalidContentId();
}

result ContentManager::DeleteContent(const ContentId& id) {
    if (!constructed_) {
        return Osp::Base::E_INVALID_STATE;
    }
    return host::ContentStore::Instance().Remove(id);
}

}  // namespace Osp::Content
