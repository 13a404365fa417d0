#pragma once
// Finds out whether two share browsers whose storages have different names reach one share: a server
// entered once by its name and once by its address, or by two spellings of one address. Only the server
// can tell: a marker file with a temporary name is made in the destination folder through one browser,
// looked for at the same path through the other, and removed. When it is seen, the two storages are noted
// as one (fs/Places), so that every same-place rule holds between them. Used on the user-interface thread
// only; the browsers must outlive the probe.

#include <cstdint>
#include <string>

#include "fs/IFsFileListener.h"
#include "fs/IFsOpListener.h"

class IFsBrowser;

class StorageProbe : public IFsFileListener, public IFsOpListener {
public:
    StorageProbe() = default;
    StorageProbe(const StorageProbe&) = delete;
    StorageProbe& operator=(const StorageProbe&) = delete;

    // Whether src and dst need the probe: shares of one name whose storages are not yet known to be one.
    static bool Needed(const IFsBrowser& src, const IFsBrowser& dst);
    // Probes through the destination folder (ending with its separator); when done, owner hears id with
    // 0 and RES_OK. False when it could not start: then owner hears nothing.
    bool StartA(IFsBrowser* src, IFsBrowser* dst, const std::wstring& folder, IFsOpListener* owner, int id);

    void OnCreateN(unsigned long result, IFsFile* file) override;
    void OnRead(IFsFile*, unsigned long, unsigned int) override {}
    void OnWrite(IFsFile*, unsigned long, unsigned int) override {}
    void OnSeek(IFsFile*, unsigned long) override {}
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;

private:
    enum TOp { OP_LOOK = 1, OP_REMOVE = 2 };
    void Done();

    IFsBrowser* src_ = nullptr;
    IFsBrowser* dst_ = nullptr;
    std::wstring marker_;
    IFsOpListener* owner_ = nullptr;
    int ownerId_ = 0;
};
