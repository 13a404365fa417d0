#pragma once
// The phone's media database: the registry of the files below "/Media/" and "/Storagecard/Media/". On this
// platform it is a table kept for the run of the process over the plain files. Registering a file that
// is already registered answers its existing identifier. Deleting a content deletes its file. The
// database may be busy (E_SERVICE_BUSY): the caller tries again later. Any thread may call it.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Content/ContentInfo.h"
#include "Osp/Content/ContentTypes.h"

namespace Osp::Content {

class ContentManager : public Osp::Base::Object {
public:
    result Construct();

    // The new content's identifier, or the invalid one with the last result set: E_INVALID_ARG for an
    // info that was not constructed, E_FILE_NOT_FOUND when the file has gone, E_UNSUPPORTED_FORMAT when the
    // database does not take files of this format, E_SERVICE_BUSY, E_INVALID_STATE before Construct.
    ContentId CreateContent(const ContentInfo& info);
    // Forgets the content and deletes its file; a file that has already gone is not an error.
    // E_FILE_NOT_FOUND for an unknown identifier, E_SERVICE_BUSY, E_INVALID_STATE before Construct.
    result DeleteContent(const ContentId& id);

private:
    bool constructed_ = false;
};

}  // namespace Osp::Content
