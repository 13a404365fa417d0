#pragma once
// The media database's description of an image file.

#include "Osp/Content/ContentInfo.h"

namespace Osp::Content {

class ImageContentInfo : public ContentInfo {
public:
    ImageContentInfo() : ContentInfo(CONTENT_TYPE_IMAGE) {}
};

}  // namespace Osp::Content
