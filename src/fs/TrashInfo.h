#pragma once
// The info file the desktop's trash layout keeps beside each trashed item ("info/NAME.trashinfo"): a
// "[Trash Info]" group with the original path, percent-encoded, and the local date and time of the
// deletion:
//
//   [Trash Info]
//   Path=/home/user/Music/caf%C3%A9.mp3
//   DeletionDate=2026-12-11T09:30:00
//
// The file comes from the disk, where any program may have written it: reading is bounded and strict, and
// anything that is not a well-formed info file is refused. Holds no state; any thread may call these.

#include <string>
#include <string_view>

#include "Osp/Base/DateTime.h"

struct STrashInfo {
    std::string path;        // host bytes, decoded
    std::wstring deletedAt;  // "YYYY-MM-DD hh:mm", empty when the file names no valid date
};

// The longest info file read; a longer one is malformed.
inline constexpr size_t kMaxTrashInfoBytes = 16384;

// Percent-encodes every byte but unreserved characters and '/'.
std::string PercentEncode(std::string_view bytes);
// Undoes PercentEncode; false for a '%' that is not followed by two hexadecimal digits.
bool PercentDecode(std::string_view text, std::string* bytes);

// The text of an info file for the original path (host bytes) deleted at the local time.
std::string FormatTrashInfo(std::string_view path, const Osp::Base::DateTime& localTime);
// Reads an info file: true with its fields when the text has the group, a non-empty path that decodes,
// and nothing unreadable; the date is optional.
bool ParseTrashInfo(std::string_view text, STrashInfo* info);
