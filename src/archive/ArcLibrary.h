#pragma once
// The archive library, loaded once per run on first use from the system's installation. At load its
// interface type and version are checked: a library whose interfaces carry a virtual destructor, or one
// older than the first version without known memory-safety faults in its handlers, is refused. Format
// handlers are found by the names the library gives them. Any thread may call these.

#include <string>

#include "archive/ArcInterfaces.h"

class ArcLibrary {
public:
    // The loaded library; null when it is missing or refused, with *result saying why.
    static const ArcLibrary* Get(unsigned long* result);

    // A new handler of the named format ("zip", "7z", "tar", "gzip", "bzip2"); result 0 or a failure.
    unsigned long CreateHandler(const std::wstring& format, arclib::IInArchive** out) const;

private:
    ArcLibrary() = default;
    unsigned long Load();
    bool FindClassId(const std::wstring& format, arclib::GUID* classId) const;

    void* library_ = nullptr;  // Osp::Base::Runtime::Library, kept for the whole run
    arclib::CreateObjectFunc createObject_ = nullptr;
    arclib::GetNumberOfFormatsFunc numberOfFormats_ = nullptr;
    arclib::GetHandlerProperty2Func handlerProperty_ = nullptr;
};
