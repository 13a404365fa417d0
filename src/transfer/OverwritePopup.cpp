#include "transfer/OverwritePopup.h"

#include <memory>

#include "Osp/Ui/Controls/Button.h"
#include "app/Format.h"
#include "app/Results.h"
#include "app/Time.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDirEntry.h"
#include "transfer/TransferPopup.h"

namespace {

using Osp::Base::String;

constexpr const wchar_t* kCaptionLabels[] = {L"IDC_LABEL1", L"IDC_LABEL3",  L"IDC_LABEL4", L"IDC_LABEL6",
                                             L"IDC_LABEL7", L"IDC_LABEL11", L"IDC_LABEL12"};
constexpr std::pair<const wchar_t*, int> kButtons[] = {
    {L"IDC_NO", OverwritePopup::ACTION_NO},
    {L"IDC_NO_TO_ALL", OverwritePopup::ACTION_NO_TO_ALL},
    {L"IDC_YES", OverwritePopup::ACTION_YES},
    {L"IDC_YES_TO_ALL", OverwritePopup::ACTION_YES_TO_ALL},
};

}  // namespace

Osp::Ui::Controls::Label* OverwritePopup::FindLabel(const wchar_t* id) const {
    auto* label = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(id), true));
    if (label != nullptr) {
        label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
    }
    return label;
}

bool OverwritePopup::Construct() {
    if (Popup::Construct(String(L"IDP_OVERWRITE")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    for (const wchar_t* id : kCaptionLabels) {
        FindLabel(id);
    }
    name_ = FindLabel(L"IDC_NAME");
    srcSize_ = FindLabel(L"IDC_SRC_SIZE");
    srcDate_ = FindLabel(L"IDC_SRC_DATE");
    dstSize_ = FindLabel(L"IDC_DST_SIZE");
    dstDate_ = FindLabel(L"IDC_DST_DATE");
    if (name_ == nullptr || srcSize_ == nullptr || srcDate_ == nullptr || dstSize_ == nullptr ||
        dstDate_ == nullptr) {
        return false;
    }
    for (const auto& [id, action] : kButtons) {
        auto* button = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(id), true));
        if (button == nullptr) {
            return false;
        }
        button->SetActionId(action);
        button->AddActionEventListener(*this);
    }
    return true;
}

void OverwritePopup::ShowPopup(TransferPopup* popup, IFsBrowser* src, const std::wstring& srcPath,
                               IFsBrowser* dst, const std::wstring& dstPath) {
    transfer_ = popup;
    dstBrowser_ = dst;
    dstPath_ = dstPath;
    name_->SetText(String(dstPath));
    for (Osp::Ui::Controls::Label* label : {srcSize_, srcDate_, dstSize_, dstDate_}) {
        label->SetText(String());
    }
    // A request that cannot start never answers: the question then goes on without what it would tell.
    if (src->GetFileInfoA(REQ_SOURCE, this, srcPath) != RES_OK) {
        OnFsOperationDone(REQ_SOURCE, 0, RES_FAILURE);
    }
}

void OverwritePopup::HidePopup() {
    transfer_ = nullptr;
    SetShowState(false);
}

void OverwritePopup::OnFsOperationDone(int id, std::intptr_t object, unsigned long result) {
    std::unique_ptr<IFsDirEntry> entry(reinterpret_cast<IFsDirEntry*>(object));
    if (result == RES_OK && entry != nullptr) {
        String size;
        String date;
        FormatFileSize(&size, entry->GetSize());
        FormatFileDate(&date, entry->GetTimeModified());
        (id == REQ_SOURCE ? srcSize_ : dstSize_)->SetText(size);
        (id == REQ_SOURCE ? srcDate_ : dstDate_)->SetText(date);
    }
    if (id == REQ_SOURCE && dstBrowser_->GetFileInfoA(REQ_DESTINATION, this, dstPath_) == RES_OK) {
        return;
    }
    SetShowState(true);
    Draw();
    Show();
}

void OverwritePopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId < ACTION_NO || actionId > ACTION_YES_TO_ALL || transfer_ == nullptr) {
        return;
    }
    TransferPopup* popup = transfer_;
    HidePopup();
    popup->OverwriteFile(static_cast<TransferPopup::TOverwrite>(actionId - 100));
}
