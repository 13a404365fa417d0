#pragma once
// An entry of an archive's folder: a copy of what the volume knows, standing alone.

#include <string>

#include "fs/IFsDirEntry.h"

class ArcDirEntry : public IFsDirEntry {
public:
    ArcDirEntry(std::wstring name, unsigned long long size, int type, const Osp::Base::DateTime& modified)
        : name_(std::move(name)), size_(size), type_(type), modified_(modified) {}

    std::wstring GetName() const override { return name_; }
    unsigned long long GetSize() const override { return size_; }
    int GetType() const override { return type_; }
    Osp::Base::DateTime GetTimeModified() const override { return modified_; }

private:
    std::wstring name_;
    unsigned long long size_;
    int type_;
    Osp::Base::DateTime modified_;
};
