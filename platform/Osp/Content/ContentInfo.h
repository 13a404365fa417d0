#pragma once
// What the media database is told about one file before it registers it. Construct succeeds for an
// existing file (not a folder) below one of the media folders, "/Media/" or "/Storagecard/Media/":
// E_INVALID_ARG for any other path, E_FILE_NOT_FOUND when there is no such file.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Content/ContentTypes.h"

namespace Osp::Content {

class ContentInfo : public Osp::Base::Object {
public:
    ~ContentInfo() override = default;

    result Construct(const Osp::Base::String& contentPath);
    ContentType GetContentType() const { return type_; }
    const Osp::Base::String& GetContentPath() const { return path_; }
    bool IsConstructed() const { return constructed_; }

protected:
    explicit ContentInfo(ContentType type) : type_(type) {}

private:
    ContentType type_;
    Osp::Base::String path_;
    bool constructed_ = false;
};

}  // namespace Osp::Content
