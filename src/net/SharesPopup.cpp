#include "net/SharesPopup.h"

#include <memory>

#include "Osp/Media/Image.h"
#include "Osp/Ui/Controls/Button.h"

namespace {

using Osp::Base::String;

// Decoded once, for every share list of the run.
const Osp::Graphics::Bitmap* FolderIcon() {
    static const std::unique_ptr<Osp::Graphics::Bitmap> icon = [] {
        Osp::Media::Image decoder;
        decoder.Construct();
        return std::unique_ptr<Osp::Graphics::Bitmap>(
            decoder.DecodeN(String(L"/Res/FolderIc.png"), Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
    }();
    return icon.get();
}

}  // namespace

SharesPopup::SharesPopup(Osp::Ui::IActionEventListener* listener, int selectAction, int cancelAction)
    : listener_(listener), selectAction_(selectAction), cancelAction_(cancelAction) {}

bool SharesPopup::Construct(const std::set<std::wstring>& shares) {
    if (Popup::Construct(String(L"IDP_SHARES")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    list_ = dynamic_cast<Osp::Ui::Controls::List*>(GetControl(String(L"IDC_LIST"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (list_ == nullptr || cancel == nullptr) {
        return false;
    }
    shares_.assign(shares.begin(), shares.end());
    for (size_t i = 0; i < shares_.size(); ++i) {
        const String name(shares_[i]);
        list_->AddItem(&name, nullptr, FolderIcon(), nullptr, static_cast<int>(i));
    }
    list_->AddItemEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void SharesPopup::ShowPopup() {
    SetShowState(true);
    Show();
}

void SharesPopup::OnItemStateChanged(const Osp::Ui::Control&, int, int itemId, Osp::Ui::ItemStatus status) {
    if (status != Osp::Ui::ITEM_SELECTED || itemId < 0 || itemId >= static_cast<int>(shares_.size())) {
        return;
    }
    selection_ = shares_[static_cast<size_t>(itemId)];
    Close(selectAction_);
}

void SharesPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionCancel) {
        Close(cancelAction_);
    }
}

void SharesPopup::Close(int action) {
    SetShowState(false);
    listener_->OnActionPerformed(*this, action);
}
