#include "ui/FileDetailsPopup.h"

#include <memory>

#include "app/Format.h"
#include "app/Time.h"
#include "fs/FsTypes.h"
#include "fs/IFsDirEntry.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kFolderType[] = L"Folder";

}  // namespace

bool FileDetailsPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (!ConstructCounting(L"IDP_FILE_DETAILS", kActionClose, listener)) {
        return false;
    }
    name_ = FindLabel(L"IDC_NAME");
    type_ = FindLabel(L"IDC_TYPE");
    location_ = FindLabel(L"IDC_LOCATION");
    size_ = FindLabel(L"IDC_SIZE");
    date_ = FindLabel(L"IDC_DATE");
    readOnly_ = dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_RO_CHECK"), true));
    hidden_ = dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_HID_CHECK"), true));
    if (name_ == nullptr || type_ == nullptr || location_ == nullptr || size_ == nullptr || date_ == nullptr ||
        readOnly_ == nullptr || hidden_ == nullptr) {
        return false;
    }
    // They only show the attributes.
    readOnly_->SetEnabled(false);
    hidden_->SetEnabled(false);
    return true;
}

void FileDetailsPopup::ShowPopup(const std::wstring& name, const std::wstring& type, const std::wstring& location,
                                 unsigned long long size, const Osp::Base::DateTime& modified, bool readOnly,
                                 bool hidden, const Osp::Graphics::Bitmap* icon, const std::wstring& walkPath,
                                 IFsBrowser* browser) {
    StopWalk();
    ResetCounts();
    SetTitleText(String(name + L" details"));
    name_->SetText(String(name));
    type_->SetText(String(type));
    location_->SetText(String(location));
    const bool folder = type == kFolderType;
    if (folder) {
        size_->SetText(String());
    } else {
        String text;
        FormatFileSize(&text, size);
        size_->SetText(text);
    }
    String date;
    if (modified.GetYear() > 1) {
        FormatFileDate(&date, modified);
    }
    date_->SetText(date);
    readOnly_->SetSelected(readOnly);
    hidden_->SetSelected(hidden);
    icon_ = icon;
    SetShowState(true);
    Show();
    if (folder) {
        StartWalk(browser, walkPath);
    }
}

void FileDetailsPopup::OnItemFound(const IFsDirEntry* entry) {
    std::unique_ptr<const IFsDirEntry> owned(entry);
    totalSize_ += entry->GetSize();
    const int type = entry->GetType();
    if ((type & ENTRY_DIRECTORY) != 0 && (type & ENTRY_LINK) == 0) {
        ++folders_;
    } else {
        ++files_;
    }
    UpdateStats(false);
}

void FileDetailsPopup::OnFsWalkFinished(unsigned long) {
    UpdateStats(true);
    RequestRedraw();
}

void FileDetailsPopup::UpdateStats(bool force) {
    if (!RefreshDue(force)) {
        return;
    }
    String text;
    if (totalSize_ != 0) {
        text = FormatSize64(totalSize_);
    }
    const String counts = FilesAndFoldersToStr(files_, folders_);
    if (!counts.IsEmpty()) {
        text = totalSize_ != 0 ? text + String(L" (") + counts + String(L")") : counts;
    }
    size_->SetText(text);
    size_->RequestRedraw();
}
