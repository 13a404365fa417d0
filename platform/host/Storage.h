#pragma once
// Where the phone's places lie on the host, and what the system may know and choose of them.
//
// With a data root (--root DIR: tests, demos, `make run`) "/Home/", "/Media/" and "/Storagecard/Media/" are
// DIR/Home, DIR/Media and DIR/Storagecard/Media, and there is a card exactly when that last folder exists.
// Without one they lie on the user's real storage: the private folder "/Home/" under the data home
// ($XDG_DATA_HOME/corvane/Home, else ~/.local/share/corvane/Home), the phone memory "/Media/" in the home
// folder (or in the folder the user chose), and the memory card on a removable medium mounted for the user
// (the one chosen, or the first one the mount table lists). A card is present only while its file system
// is mounted where it was found: a path on a card that went maps to nothing.
//
// Any thread may call these functions, except WatchMedia (user-interface thread). Folders and names are
// UTF-16 as the system holds them; results are E_SUCCESS, E_FILE_NOT_FOUND for a folder or medium that is
// not there, E_INVALID_ARG for a folder that is not an absolute path, and the host's errors of statvfs.

#include <string>
#include <vector>

#include "Osp/Base/Result.h"
#include "host/RemovableMedia.h"

namespace host {

enum class Place { kPrivate, kPhoneMemory, kCard };
enum class StorageMode { kDataRoot, kUserStorage };

// --root: every place below hostDir. An empty hostDir returns to the user's real storage, as without --root.
void SetDataRoot(const std::string& hostDir);
StorageMode GetStorageMode();
// The --root folder; empty on the user's real storage.
std::string DataRoot();

// The host folder of a place (host bytes). On the user's storage it is empty for a card that is not there;
// below a data root the card's folder is named whether or not it exists.
std::string PlaceFolder(Place place);

// The phone memory's folder on the user's storage; empty means the home folder. E_FILE_NOT_FOUND when the
// folder given is not an existing folder, which leaves the choice as it was.
Osp::Base::result SetPhoneMemoryFolder(const std::wstring& folder);
// The folder "/Media/" shows on the user's storage, as chosen or else the home folder.
std::wstring GetPhoneMemoryFolder();

// A removable medium as the system sees it.
struct MediumInfo {
    std::wstring mountPoint;  // what identifies it in the card choice
    std::wstring label;
    std::wstring type;
    bool readOnly = false;
};
// The card choice: kFirstMedium takes whichever medium the mount table lists first, kNoCard none, and
// any other value the medium mounted at that folder (no card while it is not mounted).
extern const wchar_t kFirstMedium[];
extern const wchar_t kNoCard[];
void SetCardChoice(const std::wstring& choice);
std::wstring GetCardChoice();
// The media mounted now, read afresh from the mount table.
std::vector<MediumInfo> GetMedia();
// Whether a card is there now (read afresh, as above).
bool IsCardPresent();

// Free and total bytes of the file system behind a place, with its label and type (either may be empty).
struct StorageFacts {
    unsigned long long total = 0;
    unsigned long long free = 0;
    std::wstring label;
    std::wstring type;
    bool readOnly = false;
};
Osp::Base::result GetStorageFacts(Place place, StorageFacts& facts);

// Told on the user-interface thread after the mount table changed (a medium came or went); whether the
// card changed is the listener's to find out.
class IMediaListener {
public:
    virtual ~IMediaListener() = default;
    virtual void OnMediaChanged() = 0;
};
// Watches the mount table through the event loop (no polling) and tells the listener, which must outlive
// the watch; null ends it.
void WatchMedia(IMediaListener* listener);
// For the watch: the media changed, so the card must be looked for again.
void ForgetCard();

// Test switch: the folders below which a mount counts as a medium, and whether removable disks count too.
// Defaults: the user's media folders, removable disks counted.
void SetMediaFolders(const std::vector<std::string>& hostFolders, RemovableMarks marks);

}  // namespace host
