#include "Osp/Ui/Controls/List.h"

#include <algorithm>

#include "host/GraphicsHost.h"
#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ListImpl.h"
#include "host/ui/ListWidget.h"
#include "host/ui/Notify.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_OUT_OF_RANGE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

namespace {

List::Impl::Item MakeItem(const String* text1, const String* text2, const Osp::Graphics::Bitmap* bitmap1,
                          const Osp::Graphics::Bitmap* bitmap2, int itemId) {
    List::Impl::Item item;
    if (text1 != nullptr) {
        item.text1 = host::ToQString(text1->Units());
    }
    if (text2 != nullptr) {
        item.text2 = host::ToQString(text2->Units());
    }
    if (bitmap1 != nullptr) {
        item.bitmap1 = host::ImageOf(*bitmap1);
    }
    if (bitmap2 != nullptr) {
        item.bitmap2 = host::ImageOf(*bitmap2);
    }
    item.id = itemId;
    return item;
}

}  // namespace

bool List::Impl::HasImage() const {
    return format == LIST_ITEM_SINGLE_IMAGE_TEXT || format == LIST_ITEM_SINGLE_IMAGE_TEXT_TEXT;
}

bool List::Impl::HasSecondText() const {
    return format == LIST_ITEM_SINGLE_TEXT_TEXT || format == LIST_ITEM_SINGLE_IMAGE_TEXT_TEXT;
}

int List::Impl::ViewHeight() const {
    return widget != nullptr ? widget->AreaHeight() : 0;
}

int List::Impl::ViewWidth() const {
    return widget != nullptr ? widget->AreaWidth() : 0;
}

int List::Impl::MaxOffset() const {
    return std::max(0, static_cast<int>(items.size()) * rowHeight - ViewHeight());
}

void List::Impl::SetOffset(int newOffset) {
    newOffset = std::clamp(newOffset, 0, MaxOffset());
    if (newOffset != offset) {
        offset = newOffset;
        if (widget != nullptr) {
            widget->update();
        }
    }
}

QRect List::Impl::RowRect(int index) const {
    return QRect(0, index * rowHeight - offset, ViewWidth(), rowHeight);
}

QRect List::Impl::MarkRect(int index) const {
    if (!HasMarks()) {
        return {};
    }
    const QRect row = RowRect(index);
    return QRect(row.right() - host::theme::kMarkAreaWidth + 1, row.top(), host::theme::kMarkAreaWidth,
                 row.height());
}

int List::Impl::IndexAt(const QPoint& p) const {
    if (p.x() < 0 || p.y() < 0 || p.x() >= ViewWidth() || p.y() >= ViewHeight()) {
        return -1;
    }
    const int index = (p.y() + offset) / rowHeight;
    return IsValid(index) ? index : -1;
}

bool List::Impl::NotifyItem(List& list, int index, ItemStatus status) {
    const int itemId = items[static_cast<size_t>(index)].id;
    return host::Notify<IItemEventListener>(
        list.GetControlImpl().Life(),
        [&list]() -> const std::vector<IItemEventListener*>& { return list.GetListImpl().itemListeners; },
        [&](IItemEventListener& l) { l.OnItemStateChanged(list, index, itemId, status); });
}

List::List() : impl_(std::make_unique<Impl>()) {}

List::~List() = default;

result List::Construct(const Osp::Graphics::Rectangle& rect, ListStyle style, ListItemFormat format,
                       int row1Height, int, int column1Width, int column2Width) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (row1Height <= 0 || rect.width < 0 || rect.height < 0) {
        return E_INVALID_ARG;
    }
    impl_->style = style;
    impl_->format = format;
    impl_->rowHeight = row1Height;
    impl_->column1Width = column1Width;
    impl_->column2Width = column2Width;
    impl_->widget = new host::ListWidget(*this);
    GetControlImpl().Attach(impl_->widget, rect);
    return E_SUCCESS;
}

void List::AddItemEventListener(const IItemEventListener& listener) {
    host::AddListener(impl_->itemListeners, listener);
}

void List::RemoveItemEventListener(const IItemEventListener& listener) {
    host::RemoveListener(impl_->itemListeners, listener);
}

result List::AddItem(const String* text1, const String* text2, const Osp::Graphics::Bitmap* bitmap1,
                     const Osp::Graphics::Bitmap* bitmap2, int itemId) {
    return InsertItemAt(GetItemCount(), text1, text2, bitmap1, bitmap2, itemId);
}

result List::InsertItemAt(int index, const String* text1, const String* text2,
                          const Osp::Graphics::Bitmap* bitmap1, const Osp::Graphics::Bitmap* bitmap2,
                          int itemId) {
    if (index < 0 || index > GetItemCount()) {
        return E_OUT_OF_RANGE;
    }
    impl_->items.insert(impl_->items.begin() + index, MakeItem(text1, text2, bitmap1, bitmap2, itemId));
    Draw();
    return E_SUCCESS;
}

result List::SetItemAt(int index, const String* text1, const String* text2,
                       const Osp::Graphics::Bitmap* bitmap1, const Osp::Graphics::Bitmap* bitmap2,
                       int itemId) {
    if (!impl_->IsValid(index)) {
        return E_OUT_OF_RANGE;
    }
    Impl::Item& item = impl_->items[static_cast<size_t>(index)];
    Impl::Item replacement = MakeItem(text1, text2, bitmap1, bitmap2, itemId);
    replacement.checked = item.checked;
    replacement.enabled = item.enabled;
    item = std::move(replacement);
    Draw();
    return E_SUCCESS;
}

result List::RemoveItemAt(int index) {
    if (!impl_->IsValid(index)) {
        return E_OUT_OF_RANGE;
    }
    impl_->items.erase(impl_->items.begin() + index);
    impl_->SetOffset(impl_->offset);
    Draw();
    return E_SUCCESS;
}

result List::RemoveAllItems() {
    impl_->items.clear();
    impl_->offset = 0;
    Draw();
    return E_SUCCESS;
}

int List::GetItemCount() const {
    return static_cast<int>(impl_->items.size());
}

int List::GetItemIdAt(int index) const {
    return impl_->IsValid(index) ? impl_->items[static_cast<size_t>(index)].id : -1;
}

int List::GetItemIndexFromItemId(int itemId) const {
    const auto it = std::find_if(impl_->items.begin(), impl_->items.end(),
                                 [itemId](const Impl::Item& item) { return item.id == itemId; });
    return it == impl_->items.end() ? -1 : static_cast<int>(it - impl_->items.begin());
}

int List::GetItemIndexFromPosition(const Osp::Graphics::Point& position) const {
    return impl_->IndexAt(QPoint(position.x, position.y));
}

int List::GetItemIndexFromPosition(int x, int y) const {
    return impl_->IndexAt(QPoint(x, y));
}

String List::GetItemText(int index, int textIndex) const {
    if (!impl_->IsValid(index)) {
        return String();
    }
    const Impl::Item& item = impl_->items[static_cast<size_t>(index)];
    return String(host::FromQString(textIndex == 0 ? item.text1 : item.text2));
}

result List::SetItemChecked(int index, bool check) {
    if (!impl_->IsValid(index)) {
        return E_OUT_OF_RANGE;
    }
    impl_->items[static_cast<size_t>(index)].checked = check;
    Draw();
    return E_SUCCESS;
}

bool List::IsItemChecked(int index) const {
    return impl_->IsValid(index) && impl_->items[static_cast<size_t>(index)].checked;
}

result List::SetAllItemsChecked(bool check) {
    for (Impl::Item& item : impl_->items) {
        item.checked = check;
    }
    Draw();
    return E_SUCCESS;
}

int List::GetFirstCheckedItemIndex() const {
    return GetNextCheckedItemIndexAfter(-1);
}

int List::GetNextCheckedItemIndexAfter(int index) const {
    for (int i = std::max(0, index + 1); i < GetItemCount(); ++i) {
        if (impl_->items[static_cast<size_t>(i)].checked) {
            return i;
        }
    }
    return -1;
}

int List::GetLastCheckedItemIndex() const {
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (impl_->items[static_cast<size_t>(i)].checked) {
            return i;
        }
    }
    return -1;
}

result List::SetItemEnabled(int index, bool enable) {
    if (!impl_->IsValid(index)) {
        return E_OUT_OF_RANGE;
    }
    impl_->items[static_cast<size_t>(index)].enabled = enable;
    Draw();
    return E_SUCCESS;
}

bool List::IsItemEnabled(int index) const {
    return impl_->IsValid(index) && impl_->items[static_cast<size_t>(index)].enabled;
}

void List::SetTextOfEmptyList(const String& text) {
    impl_->emptyText = host::ToQString(text.Units());
    Draw();
}

String List::GetTextOfEmptyList() const {
    return String(host::FromQString(impl_->emptyText));
}

int List::GetTopDrawnItemIndex() const {
    if (impl_->items.empty()) {
        return -1;
    }
    return std::min(GetItemCount() - 1, impl_->offset / impl_->rowHeight);
}

int List::GetBottomDrawnItemIndex() const {
    if (impl_->items.empty()) {
        return -1;
    }
    const int bottom = (impl_->offset + std::max(1, impl_->ViewHeight()) - 1) / impl_->rowHeight;
    return std::min(GetItemCount() - 1, bottom);
}

void List::ScrollToTop() {
    if (impl_->widget != nullptr) {
        impl_->widget->StopGlide();
    }
    impl_->SetOffset(0);
}

result List::ScrollToTop(int index) {
    if (!impl_->IsValid(index)) {
        return E_OUT_OF_RANGE;
    }
    if (impl_->widget != nullptr) {
        impl_->widget->StopGlide();
    }
    impl_->SetOffset(index * impl_->rowHeight);
    return E_SUCCESS;
}

void List::ScrollToBottom() {
    if (impl_->widget != nullptr) {
        impl_->widget->StopGlide();
    }
    impl_->SetOffset(impl_->MaxOffset());
}

result List::SetColumn1Width(int width) {
    if (width < 0) {
        return E_INVALID_ARG;
    }
    impl_->column1Width = width;
    Draw();
    return E_SUCCESS;
}

result List::SetColumn2Width(int width) {
    if (width < 0) {
        return E_INVALID_ARG;
    }
    impl_->column2Width = width;
    Draw();
    return E_SUCCESS;
}

int List::GetColumn1Width() const {
    return impl_->column1Width;
}

int List::GetColumn2Width() const {
    return impl_->column2Width;
}

}  // namespace Osp::Ui::Controls
