#pragma once
// The entries of one folder of an SMB 2/3 share, listed whole by the worker before the enumerator is
// handed out; StartEnumA delivers them inside the call. Used on the user-interface thread only.

#include <string>
#include <utility>
#include <vector>

#include "fs/IFsDirEnum.h"
#include "net/SmbFileInfo.h"

class IFsDirEnumListener;

class Smb2Enumerator : public IFsDirEnum {
public:
    // Each entry is its name and what the server told about it.
    using Entries = std::vector<std::pair<std::wstring, SSmbFileInfo>>;

    explicit Smb2Enumerator(Entries entries) : entries_(std::move(entries)) {}

    void SetListener(IFsDirEnumListener* listener) override { listener_ = listener; }
    unsigned long StartEnumA(bool details) override;
    void StopEnumA() override { stopped_ = true; }

private:
    Entries entries_;
    IFsDirEnumListener* listener_ = nullptr;
    bool started_ = false;
    bool stopped_ = false;
};
