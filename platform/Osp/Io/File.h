#pragma once
// A file of the phone's storage, by its virtual path ("/Home/...", "/Media/...", "/Storagecard/Media/...",
// "/Res/..."). Modes: "r" read an existing file; "r+" read and write an existing file; "w+" read and write,
// created or truncated; "a+" read and append, created when missing. A read at the end of the file returns
// 0 bytes and sets the last result to E_END_OF_FILE. Writes go straight to the host file; Flush makes
// them durable. Used by one thread at a time.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Io/FileAttributes.h"

namespace Osp::Io {

using Osp::Base::result;
using Osp::Base::String;

enum FileSeekPosition { FILESEEKPOSITION_BEGIN = 0, FILESEEKPOSITION_CURRENT = 1, FILESEEKPOSITION_END = 2 };

class File : public Osp::Base::Object {
public:
    File() = default;
    ~File() override;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    result Construct(const String& path, const String& openMode, bool createParentDirectories = false);

    // Returns the number of bytes read; sets the last result (E_END_OF_FILE at the end).
    int Read(void* buffer, int length);
    result Write(const void* buffer, int length);
    result Seek(FileSeekPosition position, long long offset);
    long long Tell() const;
    result Truncate(long long length);
    result Flush();
    // Copies up to length bytes from source's position to this file's position within the kernel (sharing
    // the blocks where the file system can); both positions move on by the bytes copied, which come back
    // (0 at the source's end). -1 with the last result E_UNSUPPORTED_METHOD when the two files cannot be
    // copied so (another file system, a kernel or file system without the call), another result on a
    // failure; nothing was copied then.
    long long CopyRangeFrom(File& source, long long length);

    static result Remove(const String& path);
    static result Move(const String& oldPath, const String& newPath);
    static result Copy(const String& source, const String& destination, bool failIfExist);
    static bool IsFileExist(const String& path);  // a file or a folder
    static result GetAttributes(const String& path, FileAttributes& attributes);
    static result SetLastModifiedTime(const String& path, const Osp::Base::DateTime& utc);
    // Makes a symbolic link at newPath that points where the link at linkPath points, its target taken
    // as it is and never followed: E_INVALID_ARG when linkPath is not a link, E_FILE_ALREADY_EXIST when
    // newPath is taken.
    static result CopyLink(const String& linkPath, const String& newPath);
    // Makes everything written to the storage that holds path (a file or a folder) durable, and reports
    // a write that failed there since the storage last reported one. Blocks until the disk is done.
    static result SyncStorage(const String& path);

private:
    int fd_ = -1;
};

}  // namespace Osp::Io
