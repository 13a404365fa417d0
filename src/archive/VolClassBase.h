#pragma once
// The common part of the archive formats: recognition by extension and signature over the format's
// constant description, and the making of an opened volume.

#include <set>
#include <string>

#include "archive/IVolumeClass.h"
#include "archive/VolClassInfo.h"

class VolumeBase;

class VolClassBase : public IVolumeClass {
public:
    unsigned int GetSignatureLength() const override;
    bool Recognize(const unsigned char* header) const override;
    // Formats with a signature are recognised by it alone.
    bool Recognize(IFileSync* file) const override;
    bool RecognizeExt(const std::wstring& ext) const override;
    unsigned long CreateVolumeN(const std::wstring& name, IFileSync* file, IVolume** out,
                                IPasswordListener* listener) const override;

protected:
    virtual const SVolClassInfo& ClassInfo() const = 0;
    // A new volume of the format with its class info set.
    virtual VolumeBase* DoCreateVolumeN() const = 0;

private:
    mutable std::set<std::wstring> exts_;  // built on first use
    mutable bool extsBuilt_ = false;
};
