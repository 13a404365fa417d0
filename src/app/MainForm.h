#pragma once
// The first screen: the list of places to browse. The local places come first in a fixed order ("My
// Private Files", "Phone Memory" and, while a card is there, "Memory Card"), then one item per network
// folder, whose item identifier is the folder's identifier, and last "Trash" with the size of what it
// holds (identifier kTrashItemId). A tap opens the place, a long press opens its context menu, the option
// key opens the menu of settings, about, help and support, and the soft keys add a network folder and
// exit.
//
// A long list ends in a blank, disabled item (identifier kPadItemId) so that its last real item can be
// scrolled clear of the screen's bottom edge; UpdatePadItem keeps it there exactly when the items do not
// fit on the screen in the form's orientation.
//
// User-interface thread only. The application makes the form once and the frame owns it for the whole
// run; the form owns its menus, popups and icons. Network folders are the application's; the form
// remembers only their identifiers.

#include <memory>
#include <string>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "Osp/Ui/ITouchEventListener.h"
#include "app/TrashSizer.h"
#include "host/Storage.h"

class AboutPopup;
class DiskDetailsPopup;
class PasswordPopup;
class RemoteFolder;
class ShareSizeQuery;

class MainForm : public Osp::Ui::Controls::Form,
                 public Osp::Ui::IActionEventListener,
                 public Osp::Ui::IItemEventListener,
                 public Osp::Ui::ITouchEventListener,
                 public Osp::Ui::IOrientationEventListener {
public:
    static constexpr int kPadItemId = -1;
    static constexpr int kTrashItemId = -2;

    MainForm();
    ~MainForm() override;

    // Builds the form from its layout; false when that fails. The items come in OnInitializing, when the
    // frame takes the form.
    bool Initialize();
    Osp::Base::result OnInitializing() override;

    // Appends the folder's item (taking away the blank item first; the caller calls UpdatePadItem).
    void AddFolderToList(const RemoteFolder* folder);
    // Adds or removes the blank last item for the number of items and the orientation.
    void UpdatePadItem();
    // Shows the folder's name and connection state again in its item.
    void UpdateFolder(const RemoteFolder* folder);
    // Redraws the list when it is on the screen.
    void UpdateView();
    // Adds or takes away the "Memory Card" item, after the application changed its last local item.
    void ShowCardItem(bool present);
    // Counts the trash's size again (after the main list comes back on the screen); the item shows it
    // once counted.
    void UpdateTrashItem();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnItemStateChanged(const Osp::Ui::Control& source, int index, int itemId,
                            Osp::Ui::ItemStatus status) override;
    void OnOrientationChanged(const Osp::Ui::Control& source,
                              Osp::Ui::OrientationStatus orientationStatus) override;

    void OnTouchPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                        const Osp::Ui::TouchEventInfo& touchInfo) override;
    void OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                            const Osp::Ui::TouchEventInfo& touchInfo) override;
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
    enum TLocalItem { ITEM_PRIVATE = 0, ITEM_PHONE = 1, ITEM_CARD = 2 };

    bool IsFolderItem(int index) const;
    // The index of the "Trash" item, the last before the blank one.
    int TrashIndex() const;
    void ShowTrashSize(unsigned long long bytes, size_t items);
    void LoadIcons();
    void AddLocalItems();
    void BuildOptionMenu();
    // A new network folder's form with the search of the network open over it.
    void SearchNetwork();
    const Osp::Graphics::Bitmap* FolderIcon(const RemoteFolder* folder) const;
    void SetColumnWidth(Osp::Ui::OrientationStatus status);

    void OpenItem(int index);
    void OpenPrivateFiles();
    // The context menu of the item, or null for an item without one.
    Osp::Ui::Controls::ContextMenu* MenuFor(int index);
    Osp::Ui::Controls::ContextMenu* BuildLocalMenu(int index);
    Osp::Ui::Controls::ContextMenu* CreateCtxMenuN(bool connected);
    RemoteFolder* LongPressedFolder() const;

    void AskPassword(int doneAction);
    void OnPasswordRemoved();
    void ShowDiskDetails();
    // Details of the phone memory or the card: the file system's space, label and type.
    void ShowPlaceDetails(const wchar_t* title, host::Place place);
    // Asks the server of a connected network folder for the size of its share's disk; the answer shows
    // in the disk details.
    void AskShareSize(RemoteFolder* folder);
    void ShowAbout();
    void RemoveFolder();
    void DisconnectFolder();
    void ConfirmExit();

    Osp::Ui::Controls::List* list_ = nullptr;  // a control of the form
    std::unique_ptr<Osp::Ui::Controls::OptionMenu> optionMenu_;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> localMenu_;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> folderMenu_;
    std::unique_ptr<DiskDetailsPopup> diskDetails_;
    std::unique_ptr<PasswordPopup> passwordPopup_;
    std::unique_ptr<AboutPopup> aboutPopup_;
    // The question about a share's disk size whose answer is wanted; replaced or dropped by the next
    // Details, which gives its answer up.
    std::unique_ptr<ShareSizeQuery> sizeQuery_;
    // The item under the last long press, -1 before the first.
    int longPressIndex_ = -1;
    // The touch now under way became a long press: its release must open nothing.
    bool longPressed_ = false;
    bool hasPadItem_ = false;
    bool hasCardItem_ = false;
    std::unique_ptr<Osp::Graphics::Bitmap> offIcon_;
    std::unique_ptr<Osp::Graphics::Bitmap> onIcon_;
    std::unique_ptr<Osp::Graphics::Bitmap> privateIcon_;
    std::unique_ptr<Osp::Graphics::Bitmap> phoneIcon_;
    std::unique_ptr<Osp::Graphics::Bitmap> cardIcon_;
    std::unique_ptr<Osp::Graphics::Bitmap> trashIcon_;
    // Counts the trashes' size away from the screen; the item shows it when the count comes.
    TrashSizer trashSizer_;
};
