#include "archive/ArcLibrary.h"

#include <mutex>

#include "Osp/Base/Runtime/Library.h"
#include "app/Results.h"
#include "archive/ArcValue.h"

namespace {

using namespace arclib;

constexpr wchar_t kLibraryPath[] = L"/usr/lib/p7zip/7z.so";
// Interfaces without a virtual destructor in IUnknown.
constexpr unsigned long long kInterfaceType = 0;
// Major version in the high half, minor in the low one.
constexpr unsigned long long kOldestVersion = (25ull << 16) | 1;

bool ModuleProp(GetModulePropFunc get, PROPID id, unsigned long long* out) {
    ArcValue value;
    return get(id, value.Reset()) == S_OK && value.ToUInt64(out);
}

}  // namespace

const ArcLibrary* ArcLibrary::Get(unsigned long* result) {
    static ArcLibrary library;
    static unsigned long loadResult = 0;
    static std::once_flag once;
    std::call_once(once, [] { loadResult = library.Load(); });
    *result = loadResult;
    return loadResult == 0 ? &library : nullptr;
}

unsigned long ArcLibrary::Load() {
    // Never unloaded: handlers and strings of the library may live until the end of the run.
    auto* library = new Osp::Base::Runtime::Library;
    if (library->Construct(Osp::Base::String(kLibraryPath)) != 0) {
        delete library;
        return RES_NO_ARCHIVE_LIBRARY;
    }
    auto getModuleProp = reinterpret_cast<GetModulePropFunc>(library->GetProcAddress(L"GetModuleProp"));
    createObject_ = reinterpret_cast<CreateObjectFunc>(library->GetProcAddress(L"CreateObject"));
    numberOfFormats_ =
        reinterpret_cast<GetNumberOfFormatsFunc>(library->GetProcAddress(L"GetNumberOfFormats"));
    handlerProperty_ =
        reinterpret_cast<GetHandlerProperty2Func>(library->GetProcAddress(L"GetHandlerProperty2"));
    unsigned long long type = 1;
    unsigned long long version = 0;
    if (getModuleProp == nullptr || createObject_ == nullptr || numberOfFormats_ == nullptr ||
        handlerProperty_ == nullptr || !ModuleProp(getModuleProp, kModuleInterfaceType, &type) ||
        !ModuleProp(getModuleProp, kModuleVersion, &version) || type != kInterfaceType ||
        version < kOldestVersion) {
        delete library;
        createObject_ = nullptr;
        return RES_NO_ARCHIVE_LIBRARY;
    }
    library_ = library;
    return 0;
}

bool ArcLibrary::FindClassId(const std::wstring& format, GUID* classId) const {
    std::uint32_t count = 0;
    if (numberOfFormats_(&count) != S_OK) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        ArcValue name;
        if (handlerProperty_(i, kHandlerName, name.Reset()) != S_OK || name.String() != format) {
            continue;
        }
        ArcValue id;
        return handlerProperty_(i, kHandlerClassId, id.Reset()) == S_OK && id.Blob(classId, sizeof(*classId));
    }
    return false;
}

unsigned long ArcLibrary::CreateHandler(const std::wstring& format, IInArchive** out) const {
    *out = nullptr;
    GUID classId;
    if (!FindClassId(format, &classId)) {
        return RES_UNSUPPORTED_METHOD;
    }
    void* object = nullptr;
    HRESULT r = createObject_(&classId, &IID_IInArchive, &object);
    if (r != S_OK || object == nullptr) {
        return r == E_OUTOFMEMORY ? RES_OUT_OF_MEMORY : RES_FAILURE;
    }
    *out = static_cast<IInArchive*>(object);
    return 0;
}
