#pragma once
// One archive format: how its files are recognised, and how a volume of it is made. The classes are
// constant and may be used from any thread.

#include <string>

class IFileSync;
class IPasswordListener;
class IVolume;

class IVolumeClass {
public:
    virtual ~IVolumeClass() = default;

    // Bytes of the format's signature at the start of a file; 0 when it has none.
    virtual unsigned int GetSignatureLength() const = 0;
    // Whether header (at least GetSignatureLength bytes) starts with the signature.
    virtual bool Recognize(const unsigned char* header) const = 0;
    // For a format without a signature: whether the file may be one.
    virtual bool Recognize(IFileSync* file) const = 0;
    // Whether ext (lower case, no dot) is one of the format's extensions.
    virtual bool RecognizeExt(const std::wstring& ext) const = 0;
    // A new opened volume over file, or a failure with *out null.
    virtual unsigned long CreateVolumeN(const std::wstring& name, IFileSync* file, IVolume** out,
                                        IPasswordListener* listener) const = 0;
};
