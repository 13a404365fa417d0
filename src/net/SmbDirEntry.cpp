#include "net/SmbDirEntry.h"

#include "app/Time.h"
#include "fs/FsTypes.h"
#include "net/smb1/Trans2FindResponse.h"

namespace {

// No file system takes longer names; a longer one from a server is not a name of a folder's entry.
constexpr std::size_t kMaxNameUnits = 255;

// A reparse point is a link whatever it leads to: a walk that entered it would delete, count or copy a
// folder that may lie outside the share.
int EntryType(unsigned int attributes) {
    return ((attributes & SMB_ATTR_DIRECTORY) != 0 ? ENTRY_DIRECTORY : 0) |
           ((attributes & SMB_ATTR_HIDDEN) != 0 ? ENTRY_HIDDEN : 0) |
           ((attributes & SMB_ATTR_READONLY) != 0 ? ENTRY_READONLY : 0) |
           ((attributes & SMB_ATTR_REPARSE_POINT) != 0 ? ENTRY_LINK : 0);
}

Osp::Base::DateTime ToDateTime(unsigned long long fileTime) {
    SFileTime ft{static_cast<unsigned int>(fileTime), static_cast<unsigned int>(fileTime >> 32)};
    Osp::Base::DateTime out;
    FiletimeToDateTime(ft, out);
    return out;
}

}  // namespace

SmbDirEntry::SmbDirEntry(const SSmbFileInfo& info, const std::wstring& name)
    : name_(name),
      size_(info.endOfFile),
      type_(EntryType(info.attributes)),
      modified_(ToDateTime(info.writeTime)) {}

bool IsPlainSmbName(const std::wstring& name) {
    return IsUsableEntryName(name) && name.size() <= kMaxNameUnits;
}
