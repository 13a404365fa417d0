#pragma once
// One opened archive seen as a read-only tree of folders and files. Paths inside the volume use '\' or
// '/' and ignore case. A volume serves one operation at a time on the thread that opened it; only
// StopIoOperation may come from another thread. Results are the system's codes.

#include <string>

class IFileSync;
class IFsDirEntry;
class IOutStreamSync;
class IPasswordListener;
class IVolDir;

class IVolume {
public:
    virtual ~IVolume() = default;

    // Reads the archive's item list from file (not owned; it outlives the volume). name is the archive
    // file's own name.
    virtual unsigned long Open(const std::wstring& name, IFileSync* file) = 0;
    // A new handle of the folder at path (empty for the root); 0xA0000643 when there is none.
    virtual unsigned long OpenDirN(const std::wstring& path, IVolDir** out) = 0;
    // A new entry describing the file or folder at path.
    virtual unsigned long GetFileInfo(const std::wstring& path, IFsDirEntry** out) = 0;
    // Extracts the file at path into out; out hears the end exactly once when the file was found.
    virtual unsigned long ExtractFile(IOutStreamSync* out, const std::wstring& path) = 0;
    // Any thread: makes a running extraction fail at its next read or callback.
    virtual void StopIoOperation() = 0;
    virtual void SetPassword(const std::wstring& password) = 0;
    virtual void SetPasswordListener(IPasswordListener* listener) = 0;
    virtual void SetFlags(int flags) = 0;
};
