#pragma once
// The servers around the user, for the network folder form: the popup searches the network as it opens
// and lists each server as its answers arrive (name and workgroup, address and how it was found). The
// search ends by itself; Refresh searches again. Tapping a server keeps it as the selection and tells the
// listener the select action; Cancel stops the search and tells it the cancel action. Either way the
// popup closes first. Below the list it says what the search came to: still searching, how many servers,
// "No servers found" with the way to type one in, why there is no network to search, and whether local
// service discovery runs.
//
// User-interface thread only. The listener is not owned and outlives the popup; the popup belongs to
// whoever made it.

#include <memory>

#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"
#include "net/discovery/NetworkSearch.h"

class ServersPopup : public Osp::Ui::Controls::Popup,
                     public Osp::Ui::IActionEventListener,
                     public Osp::Ui::IItemEventListener,
                     public INetworkSearchListener {
public:
    static constexpr int kActionRefresh = 1031;
    static constexpr int kActionCancel = 1032;
    static constexpr int kRowsPerServer = 2;

    ServersPopup(Osp::Ui::IActionEventListener* listener, int selectAction, int cancelAction);
    ~ServersPopup() override;

    // Builds the popup from its layout; false when a control is missing.
    bool Construct();
    // Opens the popup and starts a search.
    void ShowPopup();
    // The server tapped last.
    const DiscoveredServer& GetSelection() const { return selection_; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnItemStateChanged(const Osp::Ui::Control& source, int index, int itemId,
                            Osp::Ui::ItemStatus status) override;
    void OnSearchServer(int index, bool added) override;
    void OnSearchEnded() override;

private:
    void StartSearch();
    void ShowServer(int index, bool added);
    void ShowState();
    void Close(int action);

    Osp::Ui::IActionEventListener* listener_;
    int selectAction_;
    int cancelAction_;
    NetworkSearch search_;
    DiscoveredServer selection_;
    // Controls of the popup.
    Osp::Ui::Controls::List* list_ = nullptr;
    Osp::Ui::Controls::Label* status_ = nullptr;
    Osp::Ui::Controls::Label* note_ = nullptr;
    Osp::Ui::Controls::Label* dnsSdNote_ = nullptr;
};
