#pragma once
// One trash folder in the desktop's trash layout: what was deleted lies in "files/", and beside each item
// an info file in "info/" says where it was and when it was deleted (fs/TrashInfo.h). Items go in and out
// by a rename only, so a trash takes only what lies on its own file system and nothing is ever half
// copied; a name taken in the trash is made unique. The folder is a virtual path (host/Trash.h names the
// trashes of the places).
//
// Info files may have been written by any program: an item whose info file is missing, malformed or names
// a path outside the phone's places is still listed, by its name, without an original path, and goes back
// only where the caller says.
//
// User-interface thread only; every call works at once with plain file calls and returns a result code:
// RES_OK, or the storage's failure, in which case the item stays where it was (in the trash, or in its
// folder). RES_ALREADY_EXISTS from Restore means the original path is taken.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct STrashItem {
    std::wstring name;          // in "files/"
    std::wstring originalPath;  // a virtual path, empty when unknown
    std::wstring deletedAt;     // "YYYY-MM-DD hh:mm", empty when unknown
    bool isFolder = false;
    unsigned long long size = 0;  // of everything inside, links counted as nothing
};

class Trash {
public:
    enum TReplace {
        KEEP_OCCUPANT = 0,   // a taken target fails with RES_ALREADY_EXISTS
        TRASH_OCCUPANT = 1,  // what takes the target goes into this trash first
    };

    // folder: the trash's virtual folder, ending in '/'.
    explicit Trash(std::wstring folder);

    // The bytes of everything in the trash folder, adding its items to *items; what List's sizes add up to.
    // Unlike the rest of this class it may run on any thread (plain reads only); a raised stop ends it
    // early with what was counted.
    static unsigned long long HeldBytes(const std::wstring& folder, size_t* items,
                                        const std::atomic<bool>& stop);

    const std::wstring& GetFolder() const { return folder_; }
    // Moves the file or folder at path (virtual, no trailing separator) into the trash. A move across file
    // systems is refused by the storage (E_INVALID_ARG), and nothing moves.
    unsigned long Put(const std::wstring& path);
    // What lies in the trash now, in the order of the storage.
    std::vector<STrashItem> List() const;
    // Moves the item to target (a virtual path: its original path, or a place the user chose), making the
    // folders that lead there.
    unsigned long Restore(const STrashItem& item, const std::wstring& target, TReplace replace);
    // Deletes the item for good.
    unsigned long Erase(const STrashItem& item);
    // Deletes everything for good; the first failure is returned after every item was tried.
    unsigned long Empty();

private:
    std::wstring FilesPath(const std::wstring& name) const;
    std::wstring InfoPath(const std::wstring& name) const;
    // Writes the info file under a name that nothing in the trash uses yet; that name in *name.
    unsigned long ReserveName(const std::wstring& base, const std::string& info, std::wstring* name);
    STrashItem Describe(const std::wstring& name, bool isFolder, long long size) const;

    std::wstring folder_;
};
