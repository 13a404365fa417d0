#pragma once
// Reading a FIND_FIRST2 or FIND_NEXT2 answer: its parameters and its chain of both-directory entries. The
// entries come from the server; the walk checks every entry, name and next-entry offset against the data
// count, so that no entry is read outside the answer and the walk always moves forward. Stateless; any
// thread.

#include <string>
#include <vector>

#include "net/SmbFileInfo.h"
#include "net/smb1/Trans2Resp.h"

enum TFindKind { FIND_FIRST, FIND_NEXT };

struct SFindResponse {
    unsigned short sid = 0;  // the search id; FIND_FIRST answers only
    bool endOfSearch = false;
    // The name to resume after with FIND_NEXT2; meaningful when `canResume` is set, that is when the
    // server neither ended the search nor left the last-name offset 0.
    bool canResume = false;
    std::wstring resumeName;
    // The entries in the server's order, without those whose name fails IsUsableEntryName.
    std::vector<SSmbFileInfo> entries;
};

// True for a name that can stand as one entry of a folder: not empty, not "." or "..", without '\', '/'
// or a zero unit, and without a surrogate unit that lacks its partner.
bool IsUsableEntryName(const std::wstring& name);

// RES_OK with *out filled, or RES_BAD_RESPONSE when the parameter count is not the one of `kind`, an
// entry or its name runs past the data or into the next entry, a name has an odd byte length, or the
// resume entry lies outside the data.
unsigned int ParseFindResponse(const Trans2Resp& resp, TFindKind kind, SFindResponse* out);
