// The options, context and path menus, where they open, and the selection of list items.

#include "app/Corvane.h"
#include "app/UiUtils.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::ContextMenu;

// The path menu shows at most this many folders above the current one; deeper stacks show their tail.
constexpr size_t kPathMenuDepth = 6;

}  // namespace

std::unique_ptr<ContextMenu> FolderForm::MakeContextMenu(
    std::initializer_list<std::pair<const wchar_t*, int>> items) const {
    auto menu = std::make_unique<ContextMenu>();
    menu->Construct(Osp::Graphics::Point(0, 0));
    for (const auto& [text, actionId] : items) {
        menu->AddItem(String(text), actionId);
    }
    menu->AddActionEventListener(*this);
    return menu;
}

void FolderForm::BuildMenus() {
    BuildOptionMenu();
    m_pItemMenu = MakeContextMenu({{L"Details", ACTION_DETAILS},
                                   {L"Rename", ACTION_RENAME},
                                   {L"Delete", ACTION_DELETE},
                                   {L"Copy", ACTION_COPY_ITEM},
                                   {L"Cut", ACTION_CUT_ITEM}});
    m_pItemMenuRo = MakeContextMenu({{L"Details", ACTION_DETAILS}, {L"Copy", ACTION_COPY_ITEM}});
    m_pSelMenu = MakeContextMenu({{L"Details", ACTION_DETAILS},
                                  {L"Copy", ACTION_COPY_ITEM},
                                  {L"Cut", ACTION_CUT_ITEM},
                                  {L"Delete", ACTION_DELETE}});
    m_pSelMenuRo = MakeContextMenu({{L"Details", ACTION_DETAILS}, {L"Copy", ACTION_COPY_ITEM}});
    BuildFolderMenu();
}

// Paste is offered only while the clipboard holds something, so this menu is made when it opens.
void FolderForm::BuildFolderMenu() {
    m_pFolderMenu = MakeContextMenu({});
    if (m_bCanCreate) {
        m_pFolderMenu->AddItem(String(L"New Folder"), ACTION_NEW_FOLDER);
    }
    if (CanPaste()) {
        m_pFolderMenu->AddItem(String(L"Paste"), ACTION_PASTE);
    }
}

void FolderForm::BuildOptionMenu() {
    m_pOptionMenu = std::make_unique<Osp::Ui::Controls::OptionMenu>();
    m_pOptionMenu->Construct();
    m_pOptionMenu->AddItem(String(L"Select"), ACTION_SELECT);
    m_pOptionMenu->AddSubItem(0, String(L"Select All"), ACTION_SELECT_ALL);
    m_pOptionMenu->AddSubItem(0, String(L"Deselect All"), ACTION_DESELECT_ALL);
    m_pOptionMenu->AddSubItem(0, String(L"Invert Selection"), ACTION_INVERT_SELECTION);
    m_pOptionMenu->AddItem(String(L"Copy / Move"), ACTION_COPY_MOVE);
    m_pOptionMenu->AddSubItem(1, String(L"Copy"), ACTION_COPY_CHECKED);
    m_pOptionMenu->AddSubItem(1, String(L"Cut"), ACTION_CUT_CHECKED);
    if (CanPaste()) {
        m_pOptionMenu->AddSubItem(1, String(L"Paste"), ACTION_PASTE);
    }
    m_pOptionMenu->AddItem(String(L"Refresh"), ACTION_REFRESH);
    if (m_bCanCreate) {
        m_pOptionMenu->AddItem(String(L"New Folder"), ACTION_NEW_FOLDER);
    }
    m_pOptionMenu->AddItem(String(L"Filter / Search"), ACTION_FILTER);
    m_pOptionMenu->AddItem(String(L"Help"), ACTION_HELP);
    m_pOptionMenu->AddActionEventListener(*this);
}

void FolderForm::ShowOptionMenu() {
    BuildOptionMenu();
    m_pOptionMenu->SetShowState(true);
    m_pOptionMenu->Show();
}

bool FolderForm::IsPadItem(int index) const {
    return m_bPadItem && index == m_pList->GetItemCount() - 1;
}

void FolderForm::ShowContextMenu(const Osp::Graphics::Point& point) {
    IFsDir* dir = GetDir();
    if (dir == nullptr) {
        return;
    }
    const bool writable = dir->GetBrowser()->CapableOf(CAP_WRITE);
    m_nCtxIndex = m_pList->GetItemIndexFromPosition(point);
    const bool onItem = m_nCtxIndex >= 0 && !IsPadItem(m_nCtxIndex);
    ContextMenu* menu = nullptr;
    if (!onItem && writable && (m_bCanCreate || CanPaste())) {
        BuildFolderMenu();
        menu = m_pFolderMenu.get();
    } else if (onItem) {
        const bool checked = m_pList->IsItemChecked(m_nCtxIndex);
        if (checked) {
            menu = writable ? m_pSelMenu.get() : m_pSelMenuRo.get();
        } else {
            menu = writable ? m_pItemMenu.get() : m_pItemMenuRo.get();
        }
    }
    if (menu == nullptr) {
        return;
    }
    menu->SetPosition(ControlToScreen(this, *m_pList, point));
    menu->SetShowState(true);
    menu->Show();
}

void FolderForm::BuildPathMenu() {
    m_nPathMenuBase =
        m_oDirs.size() <= kPathMenuDepth ? 0 : static_cast<int>(m_oDirs.size() - kPathMenuDepth);
    m_pPathMenu = MakeContextMenu({{L"Home", ACTION_GO_HOME}});
    for (size_t i = static_cast<size_t>(m_nPathMenuBase); i + 1 < m_oDirs.size(); ++i) {
        const IFsDir& dir = *m_oDirs[i].dir;
        const std::wstring name = i == 0 ? dir.GetName(true) : dir.GetProperName();
        m_pPathMenu->AddItem(String(name), ACTION_GO_TO_DIR_FIRST + static_cast<int>(i) - m_nPathMenuBase);
    }
    m_sPathMenuFor = m_sPath;
}

void FolderForm::ShowPathMenu() {
    if (m_pPathMenu == nullptr || m_sPathMenuFor != m_sPath) {
        BuildPathMenu();
    }
    // Above the left soft key that opened it.
    const Osp::Graphics::Rectangle bounds = GetBounds();
    const bool landscape = bounds.width > bounds.height;
    const Osp::Graphics::Point at(bounds.x + (landscape ? 50 : 30),
                                  bounds.y + bounds.height - (landscape ? 0 : 30));
    m_pPathMenu->SetPosition(at);
    m_pPathMenu->SetShowState(true);
    m_pPathMenu->Show();
}

void FolderForm::SetAllChecked(bool check) {
    m_pList->SetAllItemsChecked(check);
    RequestRedraw();
}

void FolderForm::InvertChecks() {
    for (int i = 0; i < m_pList->GetItemCount(); ++i) {
        m_pList->SetItemChecked(i, !m_pList->IsItemChecked(i));
    }
    RequestRedraw();
}

int FolderForm::GetSelectedItems(std::vector<int>* indices) const {
    int index = m_pList->GetFirstCheckedItemIndex();
    if (index < 0) {
        return 0;
    }
    int count = 0;
    for (; index >= 0; index = m_pList->GetNextCheckedItemIndexAfter(index)) {
        if (m_pList->GetItemIdAt(index) >= 0) {
            indices->push_back(index);
            ++count;
        }
    }
    return count;
}

std::set<std::wstring> FolderForm::CheckedNames() const {
    std::set<std::wstring> names;
    std::vector<int> indices;
    GetSelectedItems(&indices);
    for (int index : indices) {
        const int id = m_pList->GetItemIdAt(index);
        if (id < static_cast<int>(m_oFiles.size())) {
            names.insert(m_oFiles[static_cast<size_t>(id)]->name);
        }
    }
    return names;
}
