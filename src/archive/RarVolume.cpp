#include "archive/RarVolume.h"

#include <new>

#include "app/Results.h"
#include "archive/RarArchive.h"

unsigned long RarVolume::CreateInArchive(arclib::IInArchive** out) {
    *out = new (std::nothrow) RarArchive;
    return *out != nullptr ? 0 : RES_OUT_OF_MEMORY;
}
