#pragma once
// What the SMB tests share: a data root and a running application for each test body, a network folder
// pointed at a server, and waiting helpers that run the event loop until a browser, folder, enumerator
// or file has answered.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "../fs/Recorders.h"
#include "../platform/LoopUntil.h"
#include "fs/IFsBrowserListener.h"
#include "net/NetBrowser.h"
#include "net/RemoteFolder.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbSession.h"

// Runs body inside a running application (posted events need one) on a fresh data root. False when the
// body did not finish within timeoutMs.
inline bool RunInApp(const std::function<void()>& body, int timeoutMs = 60000) {
    PhoneRoot root;
    bool finished = false;
    bool ran = CorvaneLoop::Run(
        [&] {
            body();
            finished = true;
            CorvaneLoop::Quit();
        },
        timeoutMs);
    return ran && finished;
}

// The folder view's side of a browser: the root answer, the popup and the share choice.
class RootRecorder : public IFsBrowserListener {
public:
    void OnOpenDir(unsigned long r, IFsDir* d) override {
        ++answers;
        result = r;
        dir.reset(d);
    }
    void ShowPopup(const Osp::Base::String& text, bool) override {
        popupText = text.Units();
        popupShown = true;
    }
    void HidePopup() override { popupShown = false; }
    void OnPasswordRequestA(IFsBrowser*) override {}
    void OnSelectShareA(const std::set<std::wstring>& offered) override {
        shares = offered;
        ++shareQuestions;
        if (onSelectShare) {
            onSelectShare();
        }
    }

    int answers = 0;
    unsigned long result = 1;
    std::unique_ptr<IFsDir> dir;
    std::wstring popupText;
    bool popupShown = false;
    std::set<std::wstring> shares;
    int shareQuestions = 0;
    std::function<void()> onSelectShare;
};

inline void PointFolderAt(RemoteFolder& folder, const std::wstring& share, const std::wstring& user,
                          const std::wstring& password, const std::wstring& address = L"127.0.0.1") {
    folder.SetNodeName(Osp::Base::String(L"CORVTEST"));
    folder.SetIpAddress(Osp::Base::String(address));
    folder.SetShareName(Osp::Base::String(share));
    folder.SetUserName(Osp::Base::String(user));
    folder.SetPassword(Osp::Base::String(password));
}

// The folder's browser on the classic SMB1 client.
inline SmbBrowser* Smb1Browser(RemoteFolder& folder) {
    folder.SetProtocol(SMB_PROTOCOL_SMB1);
    return static_cast<SmbBrowser*>(folder.CreateBrowser());
}

// The test account's folder on the SMB 2/3 client, for a server on 127.0.0.1.
inline NetBrowser* Smb2TestBrowser(RemoteFolder& folder) {
    PointFolderAt(folder, L"corvshare", L"corvtest", L"Corv-pass1");
    folder.SetProtocol(SMB_PROTOCOL_SMB2);
    return folder.CreateBrowser();
}

// Opens the browser's root and waits for the answer.
inline unsigned long OpenRoot(IFsBrowser& browser, RootRecorder& recorder, int timeoutMs = 20000) {
    int before = recorder.answers;
    browser.SetListener(&recorder);
    browser.OpenRootDirA();
    LoopUntil([&] { return recorder.answers > before; }, timeoutMs);
    return recorder.answers > before ? recorder.result : 0xFFFFFFFF;
}

// Lists dir to its end.
inline EnumRecorder ListDir(IFsDir& dir, int timeoutMs = 20000) {
    DirRecorder opened;
    EnumRecorder listed;
    dir.SetListener(&opened);
    dir.OpenEnumeratorA();
    if (opened.enumerator == nullptr) {
        listed.endResult = opened.enumResult;
        listed.ends = 1;
        return listed;
    }
    opened.enumerator->SetListener(&listed);
    opened.enumerator->StartEnumA(true);
    LoopUntil([&] { return listed.ends > 0; }, timeoutMs);
    return listed;
}

// Waits for the next answer of an operation recorder.
inline const OpAnswer* WaitForOp(OpRecorder& ops, size_t count, int timeoutMs = 20000) {
    LoopUntil([&] { return ops.answers.size() >= count; }, timeoutMs);
    return ops.answers.size() >= count ? &ops.answers[count - 1] : nullptr;
}

// Waits for the file recorder's answer number count (1-based).
inline const FileAnswer* WaitForFile(FileRecorder& files, size_t count, int timeoutMs = 20000) {
    LoopUntil([&] { return files.answers.size() >= count; }, timeoutMs);
    return files.answers.size() >= count ? &files.answers[count - 1] : nullptr;
}
