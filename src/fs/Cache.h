#pragma once
// Local copies of files that live in archives or on network shares, kept in one folder of the private
// files for the run, so that another application can be given a plain local path. A copy is found again
// by its storage and source path, and only while the source's size and modification time are unchanged.
// The folder starts empty (files of an earlier run are purged) and is emptied when the run ends normally.
// When the copies would pass the limit, the least recently used ones are evicted; a copy still being
// written is never evicted. Used on the user-interface thread only.

#include <map>
#include <string>

#include "Osp/Base/DateTime.h"

class IFsBrowser;

class Cache {
public:
    struct SFile {
        unsigned long id = 0;          // the source's storage (IFsBrowser::GetId)
        std::wstring path;             // the source path
        std::wstring name;             // the copy's name inside the cache folder
        unsigned long long size = 0;   // the source's size when the copy was made
        unsigned long long bytes = 0;  // what the copy takes in the cache: size, then what was written
        Osp::Base::DateTime modified;  // the source's modification time
        Osp::Base::DateTime lastUse;   // UTC; unset while the copy is being written
        bool writing = true;
    };

    // The local browser that the copies are read through; not owned.
    explicit Cache(IFsBrowser* browser);

    // Keeps the folder (with its separator) and the limit in bytes, makes the folder with its parents
    // when it is missing, and removes the files left in it.
    void Construct(const std::wstring& folder, unsigned int limit);

    // The full path of a valid copy of the source, or empty. A copy whose source changed is removed.
    std::wstring FindFile(unsigned long id, const std::wstring& path, unsigned long long size,
                          const Osp::Base::DateTime& modified);
    // The full path where a new copy of the source is to be written, or empty when it cannot fit. An
    // earlier copy of the same source is removed first; others are evicted as needed.
    std::wstring CreateNewFile(unsigned long id, const std::wstring& path, unsigned long long size,
                               const Osp::Base::DateTime& modified);
    // Ends the writing of a copy: on success it becomes usable and size and modified (either may be null)
    // get what was recorded of its source; on failure the copy and its file are removed.
    void FinalizeFile(unsigned long result, unsigned long id, const std::wstring& path,
                      unsigned long long* size, Osp::Base::DateTime* modified);
    // Forgets a copy and deletes its file.
    void RemoveFile(unsigned long id, const std::wstring& path);
    // Evicts finished copies, least recently used first, until bytes are released; false when that
    // could not be done (what was evicted stays evicted).
    bool FreeSpace(unsigned long long bytes);
    // Forgets every copy and deletes every regular file in the cache folder. A cache folder that is a
    // link is left alone.
    void PurgeCache();

    unsigned long long GetFreeSpace() const { return used_ < limit_ ? limit_ - used_ : 0; }
    unsigned int GetLimit() const { return limit_; }
    const std::wstring& GetFolder() const { return folder_; }
    IFsBrowser* GetBrowser() const { return browser_; }

    // The key of a source: a hash of its path's characters plus its storage, wrapping in 32 bits.
    static int GetHash(unsigned long id, const std::wstring& path);
    // The name of a copy: the source's base name, "_", the key in upper-case hexadecimal, "." and the
    // extension. A name too long for a local file system loses the end of its base name (and of an
    // extension that alone is too long), so that any source's copy can be made.
    static std::wstring MakeCacheName(const std::wstring& path, int key);

private:
    // The slot of the source's copy, or end.
    std::map<int, SFile>::iterator Find(unsigned long id, const std::wstring& path);
    void Remove(std::map<int, SFile>::iterator it);

    // By key; sources whose keys collide take the next free keys, and a lookup compares the source.
    std::map<int, SFile> files_;
    std::wstring folder_;
    unsigned int limit_ = 0;
    unsigned long long used_ = 0;
    IFsBrowser* browser_;
};
