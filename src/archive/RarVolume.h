#pragma once
// The volume of a RAR 4 or RAR 5 archive, read through the platform's RAR reader.

#include "archive/VolumeBase.h"

class RarVolume : public VolumeBase {
protected:
    unsigned long CreateInArchive(arclib::IInArchive** out) override;
};
