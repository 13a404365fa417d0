#include "net/ServersPopup.h"

#include "Osp/Net/Ip4Address.h"
#include "Osp/Ui/Controls/Button.h"

namespace {

using Osp::Base::String;

std::wstring WaysText(unsigned int ways) {
    std::wstring text;
    const std::pair<TDiscoveryWay, const wchar_t*> names[] = {
        {DISCOVERY_WSD, L"WSD"}, {DISCOVERY_DNSSD, L"DNS-SD"}, {DISCOVERY_NETBIOS, L"NetBIOS"}};
    for (const auto& [way, name] : names) {
        if ((ways & way) != 0) {
            text += text.empty() ? L"" : L", ";
            text += name;
        }
    }
    return text;
}

}  // namespace

ServersPopup::ServersPopup(Osp::Ui::IActionEventListener* listener, int selectAction, int cancelAction)
    : listener_(listener), selectAction_(selectAction), cancelAction_(cancelAction), search_(this) {}

ServersPopup::~ServersPopup() {
    search_.Stop();
}

bool ServersPopup::Construct() {
    if (Popup::Construct(String(L"IDP_SERVERS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    list_ = dynamic_cast<Osp::Ui::Controls::List*>(GetControl(String(L"IDC_LIST"), true));
    status_ = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(L"IDC_STATUS"), true));
    note_ = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(L"IDC_NOTE"), true));
    dnsSdNote_ = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(L"IDC_DNSSD_NOTE"), true));
    auto* refresh = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_REFRESH"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (list_ == nullptr || status_ == nullptr || note_ == nullptr || dnsSdNote_ == nullptr ||
        refresh == nullptr || cancel == nullptr) {
        return false;
    }
    list_->AddItemEventListener(*this);
    refresh->SetActionId(kActionRefresh);
    refresh->AddActionEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void ServersPopup::ShowPopup() {
    SetShowState(true);
    StartSearch();
    Show();
}

void ServersPopup::StartSearch() {
    list_->RemoveAllItems();
    search_.Start();
    ShowState();
}

void ServersPopup::OnSearchServer(int index, bool added) {
    ShowServer(index, added);
    ShowState();
}

void ServersPopup::OnSearchEnded() {
    ShowState();
}

void ServersPopup::ShowServer(int index, bool added) {
    // A row is too narrow for all a server has to say: each server takes two, its name and address, then
    // its workgroup and how it was found. Both carry the server's position, and a tap on either picks it.
    const DiscoveredServer& server = search_.Servers()[static_cast<size_t>(index)];
    const String name(server.name.empty() ? std::wstring(L"(no name)") : server.name);
    const String address(Osp::Net::Ip4Address(server.address).ToString());
    const String workgroup(server.workgroup);
    const String ways(WaysText(server.ways));
    const String* rows[kRowsPerServer][2] = {{&name, &address}, {&workgroup, &ways}};
    for (int row = 0; row < kRowsPerServer; ++row) {
        if (added) {
            list_->AddItem(rows[row][0], rows[row][1], nullptr, nullptr, index);
        } else {
            list_->SetItemAt(index * kRowsPerServer + row, rows[row][0], rows[row][1], nullptr, nullptr, index);
        }
    }
    list_->RequestRedraw();
}

void ServersPopup::ShowState() {
    const size_t count = search_.Servers().size();
    std::wstring status;
    std::wstring note;
    if (search_.Network() == SEARCH_NETWORK_WIFI_OFF) {
        status = L"No network";
        note = L"Wi-Fi is off: turn it on, then tap Refresh.";
    } else if (search_.Network() == SEARCH_NETWORK_UNREACHABLE) {
        status = L"No network";
        note = L"This device is not connected to a local network.";
    } else if (search_.IsRunning()) {
        status = L"Searching the network...";
        note = count == 0 ? L"" : L"Tap a server to fill in the form.";
    } else if (count == 0) {
        status = L"No servers found";
        note = L"Tap Cancel and type the computer name or IP address into the form.";
    } else {
        status = count == 1 ? L"1 server found" : std::to_wstring(count) + L" servers found";
        note = L"Tap a server to fill in the form.";
    }
    status_->SetText(String(status));
    note_->SetText(String(note));
    dnsSdNote_->SetText(String(search_.DnsSdUnavailable() ? L"Local service discovery is not running" : L""));
    status_->RequestRedraw();
    note_->RequestRedraw();
    dnsSdNote_->RequestRedraw();
}

void ServersPopup::OnItemStateChanged(const Osp::Ui::Control&, int, int itemId, Osp::Ui::ItemStatus status) {
    if (status != Osp::Ui::ITEM_SELECTED || itemId < 0 ||
        itemId >= static_cast<int>(search_.Servers().size())) {
        return;
    }
    selection_ = search_.Servers()[static_cast<size_t>(itemId)];
    Close(selectAction_);
}

void ServersPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionRefresh) {
        StartSearch();
    } else if (actionId == kActionCancel) {
        Close(cancelAction_);
    }
}

void ServersPopup::Close(int action) {
    search_.Stop();
    SetShowState(false);
    listener_->OnActionPerformed(*this, action);
}
