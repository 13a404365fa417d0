#pragma once
// The constant description of one archive format.

#include <string>

struct SVolClassInfo {
    enum TFlags {
        FLAG_SINGLE_FILE = 0x1,  // the format packs one file, named after the archive
    };
    struct SMapping {
        const wchar_t* archiveExt;
        const wchar_t* packedExt;
    };

    unsigned int extCount;
    const wchar_t* const* exts;  // lower case, without the dot
    unsigned int mappingCount;
    const SMapping* mappings;
    unsigned int signatureLength;
    const unsigned char* signature;
    int flags;
};
