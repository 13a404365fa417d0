#pragma once
// The media database's description of any other file.

#include "Osp/Content/ContentInfo.h"

namespace Osp::Content {

class OtherContentInfo : public ContentInfo {
public:
    OtherContentInfo() : ContentInfo(CONTENT_TYPE_OTHER) {}
};

}  // namespace Osp::Content
