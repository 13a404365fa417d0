#include "fs/LocalContent.h"

#include <memory>

#include "Osp/Base/Runtime/Thread.h"
#include "Osp/Content/AudioContentInfo.h"
#include "Osp/Content/ContentManagerUtil.h"
#include "Osp/Content/ImageContentInfo.h"
#include "Osp/Content/OtherContentInfo.h"
#include "Osp/Content/VideoContentInfo.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "ui/FileTypes.h"

namespace {

using Osp::Base::String;
using Osp::Content::ContentId;

// The database answers busy while it indexes; it is asked again after a short sleep, a bounded number of
// times, so that one busy spell cannot hang the user-interface thread.
constexpr int kBusyAttempts = 21;
constexpr long kBusyPauseMs = 100;

template <typename Call>
unsigned long RetryWhileBusy(Call call) {
    unsigned long r = call();
    for (int attempt = 1; r == RES_BUSY && attempt < kBusyAttempts; ++attempt) {
        Osp::Base::Runtime::Thread::Sleep(kBusyPauseMs);
        r = call();
    }
    return r;
}

std::unique_ptr<Osp::Content::ContentInfo> NewContentInfo(const std::wstring& path) {
    switch (GetFileType(path)) {
        case FT_IMAGE:
            return std::make_unique<Osp::Content::ImageContentInfo>();
        case FT_VIDEO:
            return std::make_unique<Osp::Content::VideoContentInfo>();
        case FT_AUDIO:
            return std::make_unique<Osp::Content::AudioContentInfo>();
        default:
            return std::make_unique<Osp::Content::OtherContentInfo>();
    }
}

// The name the database takes in any case: the path with ".jpg" as its extension.
std::wstring JpegName(const std::wstring& path) {
    std::wstring dir;
    std::wstring name;
    ParseFileName(path, &dir, &name, L'/');
    std::wstring ext;
    GetFileExt(name, &ext);
    if (ext.empty()) {
        return path + L".jpg";
    }
    return path.substr(0, path.size() - ext.size()) + L"jpg";
}

}  // namespace

unsigned long LocalContent::DoCreateLocalContent(const std::wstring& path, ContentId* id) {
    *id = Osp::Content::InvalidContentId();
    std::unique_ptr<Osp::Content::ContentInfo> info = NewContentInfo(path);
    unsigned long r = info->Construct(String(path));
    if (r != RES_OK) {
        return r;
    }
    return RetryWhileBusy([&] {
        *id = manager_.CreateContent(*info);
        return Osp::Base::GetLastResult();
    });
}

unsigned long LocalContent::DoDeleteLocalContent(const ContentId& id) {
    return RetryWhileBusy([&] { return manager_.DeleteContent(id); });
}

unsigned long LocalContent::RenameLocalFile(const std::wstring& oldPath, const std::wstring& newPath) {
    ContentId oldId;
    DoCreateLocalContent(oldPath, &oldId);
    unsigned long r =
        Osp::Content::ContentManagerUtil::MoveToMediaDirectory(String(oldPath), String(newPath));
    if (r == RES_OK && Osp::Content::IsValidContentId(oldId)) {
        DoDeleteLocalContent(oldId);
        ContentId newId;
        DoCreateLocalContent(newPath, &newId);
    }
    return r;
}

unsigned long LocalContent::DeleteLocalFile(const std::wstring& path) {
    ContentId id;
    unsigned long r = DoCreateLocalContent(path, &id);
    std::wstring movedTo;
    if (r == RES_UNSUPPORTED_FORMAT) {
        std::wstring jpeg = JpegName(path);
        if (Osp::Content::ContentManagerUtil::MoveToMediaDirectory(String(path), String(jpeg)) != RES_OK) {
            return RES_UNSUPPORTED_FORMAT;
        }
        movedTo = jpeg;
        r = DoCreateLocalContent(jpeg, &id);
    }
    if (r == RES_OK) {
        r = DoDeleteLocalContent(id);
    }
    if (r != RES_OK && !movedTo.empty()) {
        Osp::Content::ContentManagerUtil::MoveToMediaDirectory(String(movedTo), String(path));
    }
    return r;
}
