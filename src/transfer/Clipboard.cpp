#include "transfer/Clipboard.h"

#include "fs/IFsBrowser.h"

Clipboard::Clipboard(int mode, IFsBrowser* browser, const std::wstring& dir)
    : mode_(mode), browser_(browser), dir_(dir) {
    browser_->AddRef();
}

Clipboard::~Clipboard() {
    browser_->Release();
}

void Clipboard::AddFile(const std::wstring& name, unsigned long long size, const Osp::Base::DateTime& date,
                        const std::wstring& dstName) {
    files_.push_back({name, dstName == name ? std::wstring() : dstName, size, date});
    totalSize_ += size;
}

void Clipboard::AddLink(const std::wstring& name, const Osp::Base::DateTime& date) {
    files_.push_back({name, std::wstring(), 0, date, true});
}

void Clipboard::AddFolder(const std::wstring& name) {
    folders_.push_back(dir_.empty() ? name : name + dir_.front());
}
