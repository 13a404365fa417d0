#include "archive/VolumeDb.h"

#include <algorithm>

#include "app/PathUtils.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "archive/VolClasses.h"
#include "fs/IFileSync.h"

namespace {

constexpr unsigned int kMaxSignature = 64;

}  // namespace

const std::vector<const IVolumeClass*>& VolumeDb::Classes() {
    static const VolClassZip zip;
    static const VolClassRar rar;
    static const VolClass7z sevenZip;
    static const VolClassTar tar;
    static const VolClassBz2 bz2;
    static const VolClassGz gz;
    static const std::vector<const IVolumeClass*> sm_oClasses = {&zip, &rar, &sevenZip, &tar, &bz2, &gz};
    return sm_oClasses;
}

unsigned long VolumeDb::CreateVolumeN(const std::wstring& name, IFileSync* file, IPasswordListener* listener,
                                      IVolume** out) {
    *out = nullptr;
    std::wstring ext;
    GetFileExt(name, &ext);
    MakeLower(&ext);
    std::vector<const IVolumeClass*> candidates;
    unsigned int longest = 0;
    for (const IVolumeClass* c : Classes()) {
        if (c->RecognizeExt(ext)) {
            candidates.push_back(c);
            longest = std::max(longest, c->GetSignatureLength());
        }
    }
    if (candidates.empty()) {
        return RES_CORRUPT_FILE;
    }
    unsigned char header[kMaxSignature] = {};
    unsigned int got = 0;
    if (file->SeekS(POS_BEGIN, 0) != 0 || file->ReadS(header, std::min(longest, kMaxSignature), &got) != 0) {
        return RES_CORRUPT_FILE;
    }
    for (const IVolumeClass* c : candidates) {
        unsigned int length = c->GetSignatureLength();
        bool accepted = length == 0 ? c->Recognize(file) : got >= length && c->Recognize(header);
        if (accepted) {
            if (file->SeekS(POS_BEGIN, 0) != 0) {
                return RES_CORRUPT_FILE;
            }
            return c->CreateVolumeN(name, file, out, listener);
        }
    }
    return RES_CORRUPT_FILE;
}
