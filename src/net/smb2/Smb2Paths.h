#pragma once
// Paths and entries between the SMB 2/3 browser and the client library.

#include <string>

#include "host/SmbClient.h"
#include "net/SmbFileInfo.h"

// A '\'-separated path of the browser as the library takes it: '/'-separated UTF-8 from the share's root.
// False for a path with a step up or a name no UTF-8 can carry.
bool ToLibraryPath(const std::wstring& path, std::string* out);
// What the library told about an entry, in the form the SMB1 client's entries take.
SSmbFileInfo ToFileInfo(const host::SmbClientEntry& entry);
