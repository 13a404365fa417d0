#pragma once
// A folder of a volume's tree and the walk over its children in the order of their lower-case names.
// Both belong to the archive worker and point into the volume, which outlives them.

#include <map>
#include <string>

#include "archive/IVolDir.h"
#include "archive/VolumeTree.h"

class VolumeBase;

class ZipVolDir : public IVolDir {
public:
    ZipVolDir(VolumeBase* volume, VolumeTree::DirMap::const_iterator position)
        : volume_(volume), position_(position) {}

    IVolDirEnum* OpenEnumeratorN() override;

private:
    VolumeBase* volume_;
    VolumeTree::DirMap::const_iterator position_;
};

class ZipVolDirEnum : public IVolDirEnum {
public:
    ZipVolDirEnum(VolumeBase* volume, const VolumeTree::Dir* dir) : volume_(volume), dir_(dir) {}

    unsigned long GetEntryN(IFsDirEntry** out) override;

private:
    VolumeBase* volume_;
    const VolumeTree::Dir* dir_;
    std::map<std::wstring, unsigned long>::const_iterator next_;
    bool started_ = false;
};
