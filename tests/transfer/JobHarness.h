#pragma once
// Runs a transfer job (TransferPopup) to its end inside a running application and keeps what it told its
// owner: the result, the message and the overwrite questions, which it answers from a list.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "../fs/CorvaneLoop.h"
#include "../platform/LoopUntil.h"
#include "transfer/Clipboard.h"
#include "transfer/TransferPopup.h"

// Runs body inside a running application, which ends after it.
inline void InRunningApp(const std::function<void()>& body) {
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] {
            body();
            CorvaneLoop::Quit();
        },
        60000));
}

class JobRecorder : public ITpListener {
public:
    void OnTransferEnded(TransferPopup*, unsigned long r, const std::wstring& m) override {
        ++ends;
        result = r;
        message = m;
    }
    void OnOverwriteFileA(TransferPopup* popup, const std::wstring&,
                          const std::wstring& destination) override {
        questions.push_back(destination);
        TransferPopup::TOverwrite answer = answers.empty() ? TransferPopup::OVERWRITE_NO : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        popup->OverwriteFile(answer);
    }

    int ends = 0;
    unsigned long result = 0xFFFFFFFF;
    std::wstring message;
    std::vector<std::wstring> questions;
    std::deque<TransferPopup::TOverwrite> answers;
};

// Runs the job of the clipboard into dstRoot of dst to its end; with cancelWhen, presses Cancel once that
// holds while the job runs.
inline void RunJob(JobRecorder& recorder, const Clipboard& clipboard, IFsBrowser* dst,
                   const std::wstring& dstRoot, const std::function<bool()>& cancelWhen = {},
                   int timeoutMs = 60000) {
    auto popup = std::make_unique<TransferPopup>(false, &clipboard, &recorder, dst, dstRoot);
    ASSERT_TRUE(popup->Construct());
    popup->ShowPopup();
    if (cancelWhen) {
        LoopUntil([&] { return recorder.ends > 0 || cancelWhen(); }, timeoutMs);
        popup->OnActionPerformed(*popup, TransferPopup::kActionCancel);
    }
    LoopUntil([&] { return recorder.ends > 0; }, timeoutMs);
    EXPECT_EQ(recorder.ends, 1);
}
