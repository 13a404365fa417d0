#pragma once
// Which trash serves which of the phone's own places (host/Trash.h lays them out). User-interface thread.

#include <string>
#include <vector>

#include "fs/FsLocalBrowser.h"

// The trash that takes what is deleted in the root, made when missing; false when the root can have none
// now (a card that went, or a trash that cannot be made where it belongs).
bool TrashOfRoot(LocalBrowser::TRoot root, std::wstring* folder);

// The trashes the trash list shows: those of the phone memory and the card, each once, and the private
// files' trash when withPrivate. Nothing is made: a trash not there yet lists as empty.
std::vector<std::wstring> ShownTrashes(bool withPrivate);
