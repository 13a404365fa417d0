#pragma once
// The volumes of the formats that the archive library reads itself, each over its format's handler.

#include "archive/VolumeBase.h"

// A volume whose handler the archive library makes by the format's name.
class LibraryVolume : public VolumeBase {
public:
    explicit LibraryVolume(const wchar_t* format) : format_(format) {}

protected:
    unsigned long CreateInArchive(arclib::IInArchive** out) override;

private:
    const wchar_t* format_;
};

class ZipVolume : public LibraryVolume {
public:
    ZipVolume() : LibraryVolume(L"zip") {}
};

class C7zVolume : public LibraryVolume {
public:
    C7zVolume() : LibraryVolume(L"7z") {}
};

class TarVolume : public LibraryVolume {
public:
    TarVolume() : LibraryVolume(L"tar") {}

protected:
    // Tar attributes are POSIX modes: nothing of them is shown.
    int GetItemAttributes(unsigned long) override { return 0; }
};

class Bz2Volume : public LibraryVolume {
public:
    Bz2Volume() : LibraryVolume(L"bzip2") {}
};

class GzVolume : public LibraryVolume {
public:
    GzVolume() : LibraryVolume(L"gzip") {}
};
