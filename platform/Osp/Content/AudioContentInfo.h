#pragma once
// The media database's description of an audio file.

#include "Osp/Content/ContentInfo.h"

namespace Osp::Content {

class AudioContentInfo : public ContentInfo {
public:
    AudioContentInfo() : ContentInfo(CONTENT_TYPE_AUDIO) {}
};

}  // namespace Osp::Content
