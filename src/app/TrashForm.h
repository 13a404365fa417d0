#pragma once
// The trash screen: what was deleted from the phone memory and the card (and from the private files once
// their password was given), latest first, each with the folder it came from and the day. A tap or a long press on an item
// opens its menu: Restore (to where it was; an item whose info file says nothing usable goes only to a
// place the user picks), Delete permanently and Details. The left soft key empties the trash after a
// question, the right one goes back to the main list.
//
// User-interface thread only. The application makes the form each time the trash is opened and the frame
// owns it; the form owns its menus. Every operation works at once (fs/Trash.h) and the list is filled
// again after it.

#include <memory>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "Osp/Ui/ITouchEventListener.h"
#include "fs/Trash.h"

class TrashForm : public Osp::Ui::Controls::Form,
                  public Osp::Ui::IActionEventListener,
                  public Osp::Ui::IItemEventListener,
                  public Osp::Ui::ITouchEventListener,
                  public Osp::Ui::IOrientationEventListener {
public:
    enum TAction {
        ACTION_EMPTY = 101,
        ACTION_BACK = 102,
        ACTION_RESTORE = 103,
        ACTION_ERASE = 104,
        ACTION_DETAILS = 105,
        ACTION_RESTORE_TO = 106,
        // The place menu's items, in the order of placeRoots_.
        ACTION_PLACE = 120,
    };

    TrashForm();
    ~TrashForm() override;

    // Builds the form from its layout and lists the trash; false when the list is missing.
    bool Construct();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnItemStateChanged(const Osp::Ui::Control& source, int index, int itemId,
                            Osp::Ui::ItemStatus status) override;
    void OnOrientationChanged(const Osp::Ui::Control& source, Osp::Ui::OrientationStatus status) override;
    void OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                            const Osp::Ui::TouchEventInfo& touchInfo) override;
    void OnTouchPressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                        const Osp::Ui::TouchEventInfo&) override;
    void OnTouchDoublePressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                              const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchFocusIn(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                        const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchFocusOut(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                         const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchMoved(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                      const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchReleased(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                         const Osp::Ui::TouchEventInfo&) override {}

private:
    // One listed item and the trash it lies in.
    struct SEntry {
        size_t trash;
        STrashItem item;
    };

    void Fill();
    // Opens the item's menu where the finger last touched the list.
    void ShowItemMenu(int index);
    void ShowPlaceMenu();
    void Restore();
    void RestoreTo(size_t place);
    // Moves the chosen item to target, asking first when the name there is taken.
    void RestoreItem(const std::wstring& target);
    void Erase();
    void Empty();
    void ShowDetails();
    const SEntry* Chosen() const;
    void SetColumnWidth(Osp::Ui::OrientationStatus status);

    Osp::Ui::Controls::List* list_ = nullptr;  // a control of the form
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> itemMenu_;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> placeMenu_;
    std::vector<Trash> trashes_;
    std::vector<SEntry> entries_;
    // The item whose menu is open, -1 for none.
    int chosen_ = -1;
    // The root folders the open place menu offers (virtual, ending in '/').
    std::vector<std::wstring> placeRoots_;
    // Where the finger last touched the list, in its coordinates.
    Osp::Graphics::Point menuPoint_;
    // The touch under way became a long press: its release opens nothing more.
    bool longPressed_ = false;
};
