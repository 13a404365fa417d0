#pragma once
// Our declarations of the archive library's binary interface, as the library's published interface
// headers lay it out for this system's build of it: COM-style interfaces without a virtual destructor in
// IUnknown, 32-bit result codes, and strings as BSTRs of 32-bit wchar_t (see ArcString.h). Only the
// interfaces and members this system calls or implements are declared; the slot order is the library's.

#include <cstdint>

namespace arclib {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using PROPID = std::uint32_t;
using VARTYPE = std::uint16_t;
using BSTR = wchar_t*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    unsigned char Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b) {
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
}

// The library's interface ids: one group per header, one number per interface.
constexpr GUID MakeIid(unsigned char group, unsigned char number) {
    return GUID{0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, number, 0, 0}};
}

inline constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IProgress = MakeIid(0x00, 0x05);
inline constexpr GUID IID_ISequentialInStream = MakeIid(0x03, 0x01);
inline constexpr GUID IID_ISequentialOutStream = MakeIid(0x03, 0x02);
inline constexpr GUID IID_IInStream = MakeIid(0x03, 0x03);
inline constexpr GUID IID_ICryptoGetTextPassword = MakeIid(0x05, 0x10);
inline constexpr GUID IID_IArchiveOpenCallback = MakeIid(0x06, 0x10);
inline constexpr GUID IID_IArchiveExtractCallback = MakeIid(0x06, 0x20);
inline constexpr GUID IID_IInArchive = MakeIid(0x06, 0x60);

// A tagged value. Strings are BSTRs owned by the value; ArcValue frees them.
struct PROPVARIANT {
    VARTYPE vt;
    std::uint16_t wReserved1;
    std::uint16_t wReserved2;
    std::uint16_t wReserved3;
    union {
        std::int16_t boolVal;
        std::uint32_t ulVal;
        std::int32_t lVal;
        std::uint64_t uhVal;
        std::int64_t hVal;
        struct {
            std::uint32_t dwLowDateTime;
            std::uint32_t dwHighDateTime;
        } filetime;
        BSTR bstrVal;
    };
};

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_FILETIME = 64,
};

// Item and archive properties.
enum : PROPID {
    kpidPath = 3,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidPackSize = 8,
    kpidAttrib = 9,
    kpidMTime = 12,
    kpidEncrypted = 15,
    kpidSymLink = 54,
    kpidErrorFlags = 71,
    kpidHardLink = 90,
};

// Bits of kpidErrorFlags that mean the archive was not read whole.
inline constexpr std::uint32_t kErrorIsNotArc = 1u << 0;
inline constexpr std::uint32_t kErrorHeaders = 1u << 1;
inline constexpr std::uint32_t kErrorEncryptedHeaders = 1u << 2;
inline constexpr std::uint32_t kErrorUnavailableStart = 1u << 3;
inline constexpr std::uint32_t kErrorUnexpectedEnd = 1u << 5;

// Properties of a format handler (GetHandlerProperty2).
enum : PROPID {
    kHandlerName = 0,
    kHandlerClassId = 1,
};

// Properties of the module (GetModuleProp).
enum : PROPID {
    kModuleInterfaceType = 0,
    kModuleVersion = 1,
};

// askExtractMode of the extract callback.
enum : std::int32_t {
    kExtract = 0,
    kTest = 1,
    kSkip = 2,
};

// opRes of SetOperationResult.
enum : std::int32_t {
    kOpOk = 0,
    kOpUnsupportedMethod = 1,
    kOpDataError = 2,
    kOpCrcError = 3,
    kOpUnavailable = 4,
    kOpUnexpectedEnd = 5,
    kOpDataAfterEnd = 6,
    kOpIsNotArc = 7,
    kOpHeadersError = 8,
    kOpWrongPassword = 9,
};

class IUnknown {
public:
    virtual HRESULT QueryInterface(const GUID& iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

class ISequentialInStream : public IUnknown {
public:
    virtual HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) = 0;
};

class IInStream : public ISequentialInStream {
public:
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin, std::uint64_t* newPosition) = 0;
};

class ISequentialOutStream : public IUnknown {
public:
    virtual HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) = 0;
};

class IProgress : public IUnknown {
public:
    virtual HRESULT SetTotal(std::uint64_t total) = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* completeValue) = 0;
};

class IArchiveOpenCallback : public IUnknown {
public:
    virtual HRESULT SetTotal(const std::uint64_t* files, const std::uint64_t* bytes) = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* files, const std::uint64_t* bytes) = 0;
};

class IArchiveExtractCallback : public IProgress {
public:
    virtual HRESULT GetStream(std::uint32_t index, ISequentialOutStream** outStream,
                              std::int32_t askMode) = 0;
    virtual HRESULT PrepareOperation(std::int32_t askMode) = 0;
    virtual HRESULT SetOperationResult(std::int32_t opRes) = 0;
};

class ICryptoGetTextPassword : public IUnknown {
public:
    virtual HRESULT CryptoGetTextPassword(BSTR* password) = 0;
};

class IInArchive : public IUnknown {
public:
    virtual HRESULT Open(IInStream* stream, const std::uint64_t* maxCheckStartPosition,
                         IArchiveOpenCallback* openCallback) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT GetNumberOfItems(std::uint32_t* numItems) = 0;
    virtual HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT Extract(const std::uint32_t* indices, std::uint32_t numItems, std::int32_t testMode,
                            IArchiveExtractCallback* extractCallback) = 0;
    virtual HRESULT GetArchiveProperty(PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT GetNumberOfProperties(std::uint32_t* numProps) = 0;
    virtual HRESULT GetPropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId, VARTYPE* varType) = 0;
    virtual HRESULT GetNumberOfArchiveProperties(std::uint32_t* numProps) = 0;
    virtual HRESULT GetArchivePropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId,
                                           VARTYPE* varType) = 0;
};

// The library's exported functions.
using CreateObjectFunc = HRESULT (*)(const GUID* classId, const GUID* iid, void** out);
using GetNumberOfFormatsFunc = HRESULT (*)(std::uint32_t* count);
using GetHandlerProperty2Func = HRESULT (*)(std::uint32_t formatIndex, PROPID propId, PROPVARIANT* value);
using GetModulePropFunc = HRESULT (*)(PROPID propId, PROPVARIANT* value);

}  // namespace arclib
