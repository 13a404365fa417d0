// Opening files: text files in the viewer, pictures, videos, music and web pages in the phone's own
// applications; files of other storages through their copies in the cache.

#include <memory>

#include "Osp/App/AppControl.h"
#include "Osp/App/AppManager.h"
#include "Osp/Base/Collection/ArrayList.h"
#include "app/Corvane.h"
#include "app/ModalMessage.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "archive/FsZipBrowser.h"
#include "fs/Cache.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Base::Collection::ArrayList;

constexpr int kMaxPathArgument = 300;
constexpr int kMaxTypeArgument = 64;
constexpr unsigned long kUnsupportedTimeoutMs = 2500;

bool IsOpenable(int type) {
    switch (type) {
        case FT_UNKNOWN:
        case FT_IMAGE:
        case FT_XML:
        case FT_VIDEO:
        case FT_TEXT:
        case FT_HTML:
        case FT_AUDIO:
        case FT_ARCHIVE:
            return true;
        default:
            return false;
    }
}

// Starts the application control with the arguments; nothing shows when there is none.
void StartAppControl(const wchar_t* appControlId, const wchar_t* operation, ArrayList& args) {
    std::unique_ptr<Osp::App::AppControl> control(
        Osp::App::AppManager::FindAppControlN(String(appControlId), String(operation)));
    if (control != nullptr) {
        control->Start(&args);
    }
}

}  // namespace

void FolderForm::OpenFile(int id) {
    IFsDir* dir = GetDir();
    if (dir == nullptr || id < 0 || id >= static_cast<int>(m_oFiles.size())) {
        return;
    }
    IFsBrowser* browser = dir->GetBrowser();
    const bool local = browser->GetType() == BROWSER_LOCAL;
    if (!local && m_nOpenOp != 0) {
        return;
    }
    const FileInfo& info = *m_oFiles[static_cast<size_t>(id)];
    const int type = info.fileType;
    // A pipe or a device would hold whoever reads it; only files are opened.
    if ((info.attributes & ENTRY_SPECIAL) != 0 || !IsOpenable(type)) {
        ShowModalMessage(L"", L"Unsupported file type", Osp::Ui::Controls::MSGBOX_STYLE_NONE,
                         kUnsupportedTimeoutMs);
        return;
    }
    if (type == FT_UNKNOWN) {
        String question;
        question.Format(kMaxPathArgument, L"Open '%ls' as a text file?", info.name.c_str());
        if (ShowModalMessage(L"Unknown file type", question.Units(), Osp::Ui::Controls::MSGBOX_STYLE_YESNO) !=
            Osp::Ui::Controls::MSGBOX_RESULT_YES) {
            return;
        }
    }
    const std::wstring path = GetItemFullName(info);
    if (local ||
        (type == FT_ARCHIVE && (browser->CapableOf(CAP_FILE_IO) || browser->CapableOf(CAP_SYNC_FILE)))) {
        DoOpenFile(browser, path, type, path, info.size, info.modified);
    } else {
        OpenThroughCache(info, browser);
    }
}

void FolderForm::DoOpenFile(IFsBrowser* browser, const std::wstring& path, int type, const std::wstring& name,
                            unsigned long long size, const Osp::Base::DateTime& modified) {
    switch (type) {
        case FT_UNKNOWN:
        case FT_XML:
        case FT_TEXT:
            Corvane::GetMyInstance()->OpenTextForm(path, name, size, modified);
            break;
        case FT_IMAGE:
            OpenAppControl1(path, Osp::App::APPCONTROL_IMAGE, Osp::App::OPERATION_VIEW, L"image");
            break;
        case FT_VIDEO:
            OpenAppControl1(path, Osp::App::APPCONTROL_VIDEO, Osp::App::OPERATION_PLAY, L"video");
            break;
        case FT_AUDIO:
            OpenAppControl1(path, Osp::App::APPCONTROL_AUDIO, Osp::App::OPERATION_PLAY, L"audio");
            break;
        case FT_HTML:
            OpenHtml(path);
            break;
        case FT_ARCHIVE:
            OpenArchive(browser, path);
            break;
        default:
            break;
    }
}

void FolderForm::OpenAppControl1(const std::wstring& path, const wchar_t* appControlId,
                                 const wchar_t* operation, const wchar_t* type) {
    String pathArg;
    pathArg.Format(kMaxPathArgument, L"path:%ls", path.c_str());
    String typeArg;
    typeArg.Format(kMaxTypeArgument, L"type:%ls", type);
    ArrayList args;
    args.Construct(10);
    args.Add(&pathArg);
    args.Add(&typeArg);
    StartAppControl(appControlId, operation, args);
}

void FolderForm::OpenHtml(const std::wstring& path) {
    String url = String(L"url:file://") + String(path);
    ArrayList args;
    args.Construct(1);
    args.Add(&url);
    StartAppControl(Osp::App::APPCONTROL_BROWSER, Osp::App::OPERATION_DEFAULT, args);
}

void FolderForm::OpenThroughCache(const FileInfo& info, IFsBrowser* browser) {
    Cache* cache = Corvane::GetMyInstance()->GetCache();
    std::wstring dirPath = GetDir()->GetName(false);
    if (dirPath.empty()) {
        return;
    }
    // The folder's own separator is its first character.
    AddTrailingSymbol(&dirPath, dirPath.front());
    const std::wstring source = dirPath + info.name;
    const std::wstring cached = cache->FindFile(browser->GetId(), source, info.size, info.modified);
    if (!cached.empty()) {
        DoOpenFile(cache->GetBrowser(), cached, info.fileType, source, info.size, info.modified);
        return;
    }
    FetchIntoCache(info, browser, source);
}

void FolderForm::OpenArchive(IFsBrowser* browser, const std::wstring& path) {
    if (m_nOpenOp != 0 || IsListing() || m_oDirs.empty()) {
        return;
    }
    m_oDirs.back().topItem = m_pList->GetTopDrawnItemIndex();
    auto* archive = new ZipBrowser;
    archive->AddRef();
    m_pOpeningArchive = archive;
    // Set before asking, as for any folder: the answer ends the open operation and the listing.
    m_bOpeningDir = true;
    StartOpenOp(1);
    if (archive->InitAndOpenRootDirA(browser, path, this) != RES_OK) {
        m_bOpeningDir = false;
        EndOpenOp();
        m_pOpeningArchive = nullptr;
        archive->Release();
    }
}
