#include "archive/Volumes.h"

#include "archive/ArcLibrary.h"

unsigned long LibraryVolume::CreateInArchive(arclib::IInArchive** out) {
    *out = nullptr;
    unsigned long r = 0;
    const ArcLibrary* library = ArcLibrary::Get(&r);
    return library != nullptr ? library->CreateHandler(format_, out) : r;
}
