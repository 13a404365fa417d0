#pragma once
// Identifiers and kinds of the phone's media database.

#include "Osp/Base/Result.h"
#include "Osp/Base/UuId.h"

namespace Osp::Content {

using Osp::Base::result;

using ContentId = Osp::Base::UuId;

// The identifier that no content has (all zero).
inline ContentId InvalidContentId() {
    return ContentId();
}
inline bool IsValidContentId(const ContentId& id) {
    return id != InvalidContentId();
}

enum ContentType {
    CONTENT_TYPE_IMAGE = 1,
    CONTENT_TYPE_AUDIO = 2,
    CONTENT_TYPE_VIDEO = 3,
    CONTENT_TYPE_OTHER = 4,
};

}  // namespace Osp::Content
