#pragma once
// The media database's description of a video file.

#include "Osp/Content/ContentInfo.h"

namespace Osp::Content {

class VideoContentInfo : public ContentInfo {
public:
    VideoContentInfo() : ContentInfo(CONTENT_TYPE_VIDEO) {}
};

}  // namespace Osp::Content
