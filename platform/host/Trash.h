#pragma once
// Where the trashes of the phone's places lie on the host, as the desktop's trash layout puts them, and how
// a trashed item's original path is written into its info file and read back.
//
// The trash of a place on the file system of the data home is the home trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash), seen as "/Trash/Home/"; the trash of a place on any other file system is the
// folder ".Trash-UID" at the top of that file system, seen as "/Trash/Media/" for the phone memory and
// "/Trash/Storagecard/" for the card. The private files have a trash of their own inside their folder,
// "/Home/.Trash/", so that nothing of them leaves the password's protection. MapPath maps the "/Trash/"
// folders like every other virtual path (host/HostPaths.h).
//
// Any thread may call these functions. Results: E_SUCCESS; E_FILE_NOT_FOUND for a card that is not there;
// E_ILLEGAL_ACCESS when a trash cannot be made where it belongs (the deletion then cannot go to a trash) or
// an original path lies outside the phone's places; E_INVALID_ARG for an original path that is not a plain
// path (empty, with "..", or relative where the trash wants it absolute).

#include <string>

#include "Osp/Base/Result.h"
#include "host/Storage.h"

namespace host {

// Whether a trash is only looked for (its folder may not be there yet), or made for use.
enum class TrashNeed { kFind, kMake };

// The virtual folder (ending in '/') of the trash that takes what is deleted in the place; with kMake
// its folder and its "files" and "info" folders are made when missing.
Osp::Base::result TrashFolderOf(Place place, TrashNeed need, std::wstring& folder);

// The host folder a "/Trash/..." name stands for: kind is what follows "/Trash/" ("Home", "Media" or
// "Storagecard"). Empty for any other kind or a card that is not there.
std::string TrashHostFolder(const std::wstring& kind);

// The original path to write into the info file (host bytes, not yet percent-encoded) of the item at
// virtualPath, for the trash at trashFolder: absolute for the home trash, relative to the top of the file
// system (or of the private folder) for the others.
Osp::Base::result TrashedPathOf(const std::wstring& trashFolder, const std::wstring& virtualPath,
                                std::string& bytes);

// The virtual path an original path read from an info file of the trash names, when it lies inside one of
// the places that trash serves.
Osp::Base::result RestorePathOf(const std::wstring& trashFolder, const std::string& bytes,
                                std::wstring& virtualPath);

}  // namespace host
