#pragma once
// The question whether a file that exists at the destination is replaced: both files' sizes and dates,
// and Yes, Yes to all, No, No to all. The answer goes to the transfer job that asked. User-interface
// thread only; the folder form owns the popup and keeps it from one question to the next.

#include <cstdint>
#include <string>

#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"
#include "fs/IFsOpListener.h"

class IFsBrowser;
class TransferPopup;

class OverwritePopup : public Osp::Ui::Controls::Popup,
                       public Osp::Ui::IActionEventListener,
                       public IFsOpListener {
public:
    enum TAction { ACTION_NO = 101, ACTION_NO_TO_ALL = 102, ACTION_YES = 103, ACTION_YES_TO_ALL = 104 };

    // Builds the popup from its layout; false when a control is missing.
    bool Construct();
    // Asks about dstPath; the sizes and dates are read first, then the popup shows.
    void ShowPopup(TransferPopup* popup, IFsBrowser* src, const std::wstring& srcPath, IFsBrowser* dst,
                   const std::wstring& dstPath);
    void HidePopup();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;

private:
    enum TRequest { REQ_SOURCE = 0, REQ_DESTINATION = 1 };

    Osp::Ui::Controls::Label* FindLabel(const wchar_t* id) const;

    TransferPopup* transfer_ = nullptr;  // the job being answered; the folder form's
    IFsBrowser* dstBrowser_ = nullptr;
    std::wstring dstPath_;
    // Controls of the popup.
    Osp::Ui::Controls::Label* name_ = nullptr;
    Osp::Ui::Controls::Label* srcSize_ = nullptr;
    Osp::Ui::Controls::Label* srcDate_ = nullptr;
    Osp::Ui::Controls::Label* dstSize_ = nullptr;
    Osp::Ui::Controls::Label* dstDate_ = nullptr;
};
