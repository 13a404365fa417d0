#pragma once
// The media database behind Osp::Content: which files of the media folders are registered, under which
// identifier, for the run of the process. Any thread may call it. Tests can make it refuse files by
// extension and answer busy for a number of calls, the two failures the system has to handle.

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "Osp/Base/Result.h"
#include "Osp/Base/UuId.h"

namespace host {

// True for a path below "/Media/" or "/Storagecard/Media/" that the platform can map onto the host.
bool IsMediaPath(const std::wstring& virtualPath);

class ContentStore {
public:
    static ContentStore& Instance();

    // The identifier of the file at path, registered now unless it already was.
    Osp::Base::result Add(const std::wstring& path, Osp::Base::UuId& id);
    // Forgets the content and deletes its file, if it is still there.
    Osp::Base::result Remove(const Osp::Base::UuId& id);
    bool IsRegistered(const std::wstring& path);

    // Test switches. Refused extensions compare without regard to ASCII case; the empty extension stands
    // for names without one. A busy count answers
    // E_SERVICE_BUSY to that many of the next calls of Add and Remove.
    void RefuseExtension(const std::wstring& extension);
    void SetBusyCount(int calls);
    // Forgets every content and switch.
    void Reset();

private:
    bool TakeBusy();                                 // lock_ held
    bool IsRefused(const std::wstring& path) const;  // lock_ held

    std::mutex lock_;
    std::map<std::wstring, Osp::Base::UuId> byPath_;  // guarded by lock_
    std::set<std::wstring> refused_;                  // lower-case; guarded by lock_
    int busyCalls_ = 0;                               // guarded by lock_
};

}  // namespace host
