#pragma once
// A storage that can only stream its files out, as an archive does: ExtractFileA pushes a file's content
// block by block, each from a posted event and only after the receiver acknowledged the one before with
// BytesProcessed. The stream can be made to fail after a number of blocks.

#include <algorithm>
#include <map>
#include <string>

#include "../folderform/FakeBrowser.h"
#include "app/Corvane.h"
#include "app/IUserEventHandler.h"
#include "fs/IOutStreamListener.h"

class StreamBrowser : public FakeBrowser, public IUserEventHandler {
public:
    StreamBrowser() : FakeBrowser(BROWSER_ARCHIVE) {}

    std::map<std::wstring, std::string> contents;
    unsigned int blockSize = 1000;
    int failAfterBlocks = -1;  // the stream fails instead of sending this block (0-based); -1 never
    unsigned long failure = 0xA0000778;
    int acknowledged = 0;
    unsigned long stoppedWith = 0;

    bool CapableOf(int mask) const override { return (mask & ~CAP_STREAM) == 0; }
    unsigned long ExtractFileA(IOutStreamListener* listener, const std::wstring& path) override {
        auto it = contents.find(path);
        if (it == contents.end()) {
            return RES_NOT_FOUND;
        }
        listener_ = listener;
        data_ = it->second;
        offset_ = 0;
        block_ = 0;
        finishWith_ = 0;
        return Corvane::GetMyInstance()->PostUserEvent(this, 0);
    }
    void BytesProcessed(unsigned long result, unsigned int count) override {
        ++acknowledged;
        if (result != RES_OK) {
            finishWith_ = result;
        }
        offset_ += count;
        Corvane::GetMyInstance()->PostUserEvent(this, 0);
    }
    void StopStreamIoA(unsigned long result) override {
        stoppedWith = result;
        finishWith_ = result;
    }

    void OnUserEvent(int) override {
        if (listener_ == nullptr) {
            return;
        }
        IOutStreamListener* listener = listener_;
        if (finishWith_ != 0 || block_ == failAfterBlocks || offset_ >= data_.size()) {
            const unsigned long result = finishWith_ != 0            ? finishWith_
                                         : block_ == failAfterBlocks ? failure
                                                                     : 0;
            listener_ = nullptr;
            listener->OnStreamWriteFinishedA(result);
            return;
        }
        ++block_;
        const unsigned int size =
            static_cast<unsigned int>(std::min<size_t>(blockSize, data_.size() - offset_));
        if (listener->OnStreamWriteA(data_.data() + offset_, size) != RES_OK) {
            listener_ = nullptr;
            listener->OnStreamWriteFinishedA(RES_CANCELLED);
        }
    }
    void OnUserEventEx(UserEvent*) override {}

private:
    IOutStreamListener* listener_ = nullptr;
    std::string data_;
    size_t offset_ = 0;
    int block_ = 0;
    unsigned long finishWith_ = 0;
};
