#pragma once
// The archive formats, in the order in which they are tried.

#include "archive/VolClassBase.h"

class VolClassZip : public VolClassBase {
protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};

// RAR 4 by the format's old signature, RAR 5 by its own.
class VolClassRar : public VolClassBase {
public:
    bool Recognize(const unsigned char* header) const override;

protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};

class VolClass7z : public VolClassBase {
protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};

// Tar has no signature: a file with a tar extension is taken as one.
class VolClassTar : public VolClassBase {
public:
    bool Recognize(IFileSync* file) const override;

protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};

class VolClassBz2 : public VolClassBase {
protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};

class VolClassGz : public VolClassBase {
protected:
    const SVolClassInfo& ClassInfo() const override;
    VolumeBase* DoCreateVolumeN() const override;
};
