#pragma once
// The one listener of a browser (the folder view), called on the user-interface thread.

#include <set>
#include <string>

#include "Osp/Base/String.h"
#include "app/LiveTarget.h"

class IFsBrowser;
class IFsDir;

class IFsBrowserListener : public LiveTarget {
public:
    // The answer of OpenRootDirA; with result 0 the folder belongs to the listener.
    virtual void OnOpenDir(unsigned long result, IFsDir* dir) = 0;
    // Show a progress popup with text, with a Cancel button when cancellable.
    virtual void ShowPopup(const Osp::Base::String& text, bool cancellable) = 0;
    virtual void HidePopup() = 0;
    // The browser needs a password; the answer is browser->SetPassword.
    virtual void OnPasswordRequestA(IFsBrowser* browser) = 0;
    // The user is to pick one of the server's shares; the answer is SelectShare.
    virtual void OnSelectShareA(const std::set<std::wstring>& shares) = 0;

protected:
    ~IFsBrowserListener() = default;
};
