#include "archive/ZipVolDir.h"

#include "app/Results.h"
#include "archive/VolumeBase.h"

IVolDirEnum* ZipVolDir::OpenEnumeratorN() {
    return new ZipVolDirEnum(volume_, &position_->second);
}

unsigned long ZipVolDirEnum::GetEntryN(IFsDirEntry** out) {
    *out = nullptr;
    if (!started_) {
        next_ = dir_->children.begin();
        started_ = true;
    }
    if (next_ == dir_->children.end()) {
        return 0;
    }
    unsigned long index = next_->second;
    ++next_;
    *out = volume_->GetEntryN(index);
    return *out != nullptr ? 0 : RES_CORRUPT_FILE;
}
