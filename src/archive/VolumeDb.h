#pragma once
// The registered archive formats, in the order in which they are tried (ZIP, RAR, 7z, tar, bzip2, gzip),
// and the recognition of an archive file by its extension and signature. Any thread.

#include <string>
#include <vector>

class IFileSync;
class IPasswordListener;
class IVolume;
class IVolumeClass;

class VolumeDb {
public:
    static const std::vector<const IVolumeClass*>& Classes();

    // Recognises the format of the archive file named name (its extension decides the candidates, their
    // signatures the choice) and makes its opened volume. RES_CORRUPT_FILE when no format accepts it.
    static unsigned long CreateVolumeN(const std::wstring& name, IFileSync* file, IPasswordListener* listener,
                                       IVolume** out);
};
