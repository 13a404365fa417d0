#pragma once
// The common part of the two details popups of the folder list: a popup built from a layout whose labels
// take the popup's colour, an icon drawn beside the name, and a walker that counts the files, folders and
// bytes below a folder while the popup shows. Closing the popup stops the walk; the owner hears the
// close action. User-interface thread only.

#include <memory>
#include <string>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"
#include "transfer/IWalkerListener.h"

class FileWalker;
class IFsBrowser;

class CountingPopup : public Osp::Ui::Controls::Popup,
                      public Osp::Ui::IActionEventListener,
                      public IWalkerListener {
public:
    CountingPopup();
    ~CountingPopup() override;

    void HidePopup();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    bool OnEnterFolder(const std::wstring& path) override;
    bool OnExitFolder(const std::wstring& path) override;
    Osp::Base::result OnDraw() override;

protected:
    // Builds the popup from its layout; the close button gets closeAction. False when the layout or its
    // button is missing.
    bool ConstructCounting(const wchar_t* resourceId, int closeAction, Osp::Ui::IActionEventListener* listener);
    Osp::Ui::Controls::Label* FindLabel(const wchar_t* name) const;
    // Starts counting below path, replacing a walk under way.
    void StartWalk(IFsBrowser* browser, const std::wstring& path);
    void StopWalk();
    // Whether the labels are due for a refresh (at most one every few tens of milliseconds); marks it done.
    bool RefreshDue(bool force);
    void ResetCounts();
    // Called when the popup closes.
    virtual void OnClosed() {}

    const Osp::Graphics::Bitmap* icon_ = nullptr;  // drawn beside the name when set
    unsigned long long totalSize_ = 0;
    unsigned int files_ = 0;
    unsigned int folders_ = 0;

private:
    Osp::Ui::IActionEventListener* listener_ = nullptr;
    int closeAction_ = 0;
    std::unique_ptr<FileWalker> walker_;
    unsigned int lastUpdate_ = 0;
};
