#include "ui/SelDetailsPopup.h"

#include "Osp/Media/Image.h"
#include "app/Format.h"
#include "fs/FsTypes.h"
#include "fs/IFsDirEntry.h"

namespace {

using Osp::Base::String;

constexpr int kMaxTypeText = 128;
constexpr int kMaxBytesText = 64;
constexpr wchar_t kVarious[] = L"Various file types";

}  // namespace

SelDetailsPopup::SelDetailsPopup() = default;

SelDetailsPopup::~SelDetailsPopup() = default;

bool SelDetailsPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (!ConstructCounting(L"IDP_SEL_DETAILS", kActionClose, listener)) {
        return false;
    }
    name_ = FindLabel(L"IDC_NAME");
    type_ = FindLabel(L"IDC_TYPE");
    location_ = FindLabel(L"IDC_LOCATION");
    size_ = FindLabel(L"IDC_SIZE");
    Osp::Media::Image image;
    image.Construct();
    bitmap_.reset(image.DecodeN(String(L"/Res/MulDocIc.png"), Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
    icon_ = bitmap_.get();
    return name_ != nullptr && type_ != nullptr && location_ != nullptr && size_ != nullptr;
}

void SelDetailsPopup::AddFolder(const std::wstring& path) {
    folderPaths_.push_back(path);
}

void SelDetailsPopup::ShowPopup(unsigned int files, unsigned int folders, const std::wstring& typeText,
                                const std::wstring& location, unsigned long long size, IFsBrowser* browser) {
    StopWalk();
    ResetCounts();
    files_ = files;
    folders_ = folders;
    totalSize_ = size;
    browser_ = browser;
    sameType_ = !typeText.empty();
    if (sameType_) {
        String text;
        text.Format(kMaxTypeText, L"All of type %ls", typeText.c_str());
        type_->SetText(text);
    } else {
        type_->SetText(String(kVarious));
    }
    location_->SetText(String(location));
    name_->SetText(String());
    size_->SetText(String());
    nextFolder_ = 0;
    if (!folderPaths_.empty()) {
        SetShowState(true);
        Show();
        StartWalk(browser_, folderPaths_[nextFolder_++]);
    } else {
        UpdateStats(true);
        SetShowState(true);
        Show();
    }
}

void SelDetailsPopup::OnItemFound(const IFsDirEntry* entry) {
    std::unique_ptr<const IFsDirEntry> owned(entry);
    totalSize_ += entry->GetSize();
    const int type = entry->GetType();
    if ((type & ENTRY_DIRECTORY) != 0 && (type & ENTRY_LINK) == 0) {
        ++folders_;
    } else {
        ++files_;
        if (sameType_) {
            sameType_ = false;
            type_->SetText(String(kVarious));
            type_->RequestRedraw();
        }
    }
    UpdateStats(false);
}

void SelDetailsPopup::OnFsWalkFinished(unsigned long result) {
    // A folder that cannot be counted ends the counting; what was counted stays.
    if (result == 0 && nextFolder_ < folderPaths_.size()) {
        StartWalk(browser_, folderPaths_[nextFolder_++]);
        return;
    }
    UpdateStats(true);
    RequestRedraw();
}

void SelDetailsPopup::OnClosed() {
    folderPaths_.clear();
    nextFolder_ = 0;
}

void SelDetailsPopup::UpdateStats(bool force) {
    if (!RefreshDue(force)) {
        return;
    }
    name_->SetText(FilesAndFoldersToStr(files_, folders_));
    String size;
    if (totalSize_ != 0) {
        size = FormatSize64(totalSize_);
        if (totalSize_ > 1024) {
            String bytes;
            bytes.Format(kMaxBytesText, L" (%llu bytes)", totalSize_);
            size = size + bytes;
        }
    }
    size_->SetText(size);
    name_->RequestRedraw();
    size_->RequestRedraw();
}
