#include "archive/VolClasses.h"

#include <cstring>

#include "archive/RarVolume.h"
#include "archive/Volumes.h"

namespace {

template <typename T, unsigned int N>
constexpr unsigned int CountOf(const T (&)[N]) {
    return N;
}

constexpr const wchar_t* kZipExts[] = {L"zip", L"zipx", L"jar"};
constexpr unsigned char kZipSignature[] = {0x50, 0x4B, 0x03, 0x04};
constexpr SVolClassInfo kZipInfo = {CountOf(kZipExts), kZipExts, 0, nullptr, 4, kZipSignature, 0};

constexpr const wchar_t* kRarExts[] = {L"rar", L"r00"};
constexpr unsigned char kRarSignature[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr unsigned char kRar5Signature[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01};
constexpr SVolClassInfo kRarInfo = {CountOf(kRarExts), kRarExts, 0, nullptr, 7, kRarSignature, 0};

constexpr const wchar_t* k7zExts[] = {L"7z"};
constexpr unsigned char k7zSignature[] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
constexpr SVolClassInfo k7zInfo = {CountOf(k7zExts), k7zExts, 0, nullptr, 6, k7zSignature, 0};

constexpr const wchar_t* kTarExts[] = {L"tar"};
constexpr SVolClassInfo kTarInfo = {CountOf(kTarExts), kTarExts, 0, nullptr, 0, nullptr, 0};

constexpr const wchar_t* kBz2Exts[] = {L"bz2", L"tbz2", L"tbz", L"bzip2"};
constexpr SVolClassInfo::SMapping kBz2Mappings[] = {{L"tbz2", L"tar"}, {L"tbz", L"tar"}};
constexpr unsigned char kBz2Signature[] = {0x42, 0x5A, 0x68};
constexpr SVolClassInfo kBz2Info = {CountOf(kBz2Exts),
                                    kBz2Exts,
                                    CountOf(kBz2Mappings),
                                    kBz2Mappings,
                                    3,
                                    kBz2Signature,
                                    SVolClassInfo::FLAG_SINGLE_FILE};

constexpr const wchar_t* kGzExts[] = {L"gz", L"tgz", L"gzip"};
constexpr SVolClassInfo::SMapping kGzMappings[] = {{L"tgz", L"tar"}};
constexpr unsigned char kGzSignature[] = {0x1F, 0x8B, 0x08};
constexpr SVolClassInfo kGzInfo = {CountOf(kGzExts),
                                   kGzExts,
                                   CountOf(kGzMappings),
                                   kGzMappings,
                                   3,
                                   kGzSignature,
                                   SVolClassInfo::FLAG_SINGLE_FILE};

template <typename V>
VolumeBase* MakeVolume(const SVolClassInfo& info) {
    auto* volume = new V;
    volume->SetClassInfo(&info);
    return volume;
}

}  // namespace

const SVolClassInfo& VolClassZip::ClassInfo() const {
    return kZipInfo;
}
VolumeBase* VolClassZip::DoCreateVolumeN() const {
    return MakeVolume<ZipVolume>(kZipInfo);
}

bool VolClassRar::Recognize(const unsigned char* header) const {
    return VolClassBase::Recognize(header) ||
           std::memcmp(header, kRar5Signature, sizeof(kRar5Signature)) == 0;
}
const SVolClassInfo& VolClassRar::ClassInfo() const {
    return kRarInfo;
}
VolumeBase* VolClassRar::DoCreateVolumeN() const {
    return MakeVolume<RarVolume>(kRarInfo);
}

const SVolClassInfo& VolClass7z::ClassInfo() const {
    return k7zInfo;
}
VolumeBase* VolClass7z::DoCreateVolumeN() const {
    return MakeVolume<C7zVolume>(k7zInfo);
}

bool VolClassTar::Recognize(IFileSync*) const {
    return true;
}
const SVolClassInfo& VolClassTar::ClassInfo() const {
    return kTarInfo;
}
VolumeBase* VolClassTar::DoCreateVolumeN() const {
    return MakeVolume<TarVolume>(kTarInfo);
}

const SVolClassInfo& VolClassBz2::ClassInfo() const {
    return kBz2Info;
}
VolumeBase* VolClassBz2::DoCreateVolumeN() const {
    return MakeVolume<Bz2Volume>(kBz2Info);
}

const SVolClassInfo& VolClassGz::ClassInfo() const {
    return kGzInfo;
}
VolumeBase* VolClassGz::DoCreateVolumeN() const {
    return MakeVolume<GzVolume>(kGzInfo);
}
