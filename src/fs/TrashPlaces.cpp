#include "fs/TrashPlaces.h"

#include <algorithm>

#include "host/Trash.h"

namespace {

host::Place PlaceOf(LocalBrowser::TRoot root) {
    switch (root) {
        case LocalBrowser::ROOT_HOME:
            return host::Place::kPrivate;
        case LocalBrowser::ROOT_CARD:
            return host::Place::kCard;
        case LocalBrowser::ROOT_MEDIA:
            break;
    }
    return host::Place::kPhoneMemory;
}

}  // namespace

bool TrashOfRoot(LocalBrowser::TRoot root, std::wstring* folder) {
    return host::TrashFolderOf(PlaceOf(root), host::TrashNeed::kMake, *folder) == Osp::Base::E_SUCCESS;
}

std::vector<std::wstring> ShownTrashes(bool withPrivate) {
    std::vector<std::wstring> folders;
    for (LocalBrowser::TRoot root :
         {LocalBrowser::ROOT_MEDIA, LocalBrowser::ROOT_CARD, LocalBrowser::ROOT_HOME}) {
        std::wstring folder;
        if ((root != LocalBrowser::ROOT_HOME || withPrivate) &&
            host::TrashFolderOf(PlaceOf(root), host::TrashNeed::kFind, folder) == Osp::Base::E_SUCCESS &&
            std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    return folders;
}
