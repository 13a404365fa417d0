#pragma once
// The platform's own configuration and the mapping of the phone's virtual paths onto the host.
// "/Home/", "/Media/" and "/Storagecard/Media/" lie in the folders of their places (host/Storage.h);
// "/Res/" is the resource folder.
// Names are UTF-16 inside and UTF-8 on the host. Host bytes that are not UTF-8 map, one by one, onto the
// lone low surrogates U+DC80..U+DCFF and back, so that every host name lists, opens, renames and deletes.

#include <string>
#include <string_view>

#include "Osp/Base/Result.h"
#include "host/Storage.h"

namespace host {

void SetResDir(const std::string& hostDir);
// The resource folder: set by SetResDir (tests), else the one beside the running binary.
const std::string& ResDir();

// The host path of a virtual path. E_ILLEGAL_ACCESS when the path is not below one of the roots, would
// leave its root through "..", or holds a zero unit; E_FILE_NOT_FOUND for a path on a card that is not
// there; E_INVALID_ARG for a name with a lone surrogate that stands for no host byte, which has no host form.
Osp::Base::result MapPath(const std::wstring& virtualPath, std::string& hostPath);

std::string ToHostBytes(const std::wstring& units);
std::wstring FromHostBytes(std::string_view bytes);

// The platform result for a host errno value.
Osp::Base::result ResultFromErrno(int error);

}  // namespace host
