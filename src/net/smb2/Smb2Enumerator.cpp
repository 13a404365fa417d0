#include "net/smb2/Smb2Enumerator.h"

#include "app/Results.h"
#include "fs/IFsDirEnumListener.h"
#include "net/SmbDirEntry.h"

unsigned long Smb2Enumerator::StartEnumA(bool) {
    if (listener_ == nullptr || started_) {
        return RES_FAILURE;
    }
    started_ = true;
    // The listener may delete this enumerator when it receives the end, so the end is the last use.
    IFsDirEnumListener* listener = listener_;
    for (const auto& [name, info] : entries_) {
        if (stopped_) {
            break;
        }
        listener->OnGetEntry(RES_OK, new SmbDirEntry(info, name));
    }
    listener->OnGetEntry(RES_OK, nullptr);
    return RES_OK;
}
