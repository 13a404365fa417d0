#include "archive/VolClassBase.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "archive/VolumeBase.h"

unsigned int VolClassBase::GetSignatureLength() const {
    return ClassInfo().signatureLength;
}

bool VolClassBase::Recognize(const unsigned char* header) const {
    const SVolClassInfo& info = ClassInfo();
    return std::memcmp(header, info.signature, info.signatureLength) == 0;
}

bool VolClassBase::Recognize(IFileSync*) const {
    return false;
}

bool VolClassBase::RecognizeExt(const std::wstring& ext) const {
    // The classes are constant objects shared by every worker: the set is made once, under a lock.
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    if (!extsBuilt_) {
        const SVolClassInfo& info = ClassInfo();
        exts_.insert(info.exts, info.exts + info.extCount);
        extsBuilt_ = true;
    }
    return exts_.count(ext) != 0;
}

unsigned long VolClassBase::CreateVolumeN(const std::wstring& name, IFileSync* file, IVolume** out,
                                          IPasswordListener* listener) const {
    *out = nullptr;
    std::unique_ptr<VolumeBase> volume(DoCreateVolumeN());
    volume->SetFlags(ClassInfo().flags);
    volume->SetPasswordListener(listener);
    if (unsigned long r = volume->Open(name, file)) {
        return r;
    }
    *out = volume.release();
    return 0;
}
