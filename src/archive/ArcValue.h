#pragma once
// Strings and tagged values crossing to and from the archive library. Its BSTRs hold 32-bit wchar_t
// behind a 4-byte byte-length prefix and are allocated with the C allocator; a string handed to the
// library must be made the same way, and every value the library fills is freed here. Any thread.

#include <string>

#include "archive/ArcInterfaces.h"

// A new library string holding the code points of the UTF-16 units; null when out of memory. Unpaired
// surrogates become U+FFFD.
arclib::BSTR AllocBstr(const std::wstring& units);
void FreeBstr(arclib::BSTR text);
// The UTF-16 units of a library string (code points above the basic plane as pairs, values that are no
// code point as U+FFFD); its stated length bounds the reading.
std::wstring UnitsFromBstr(arclib::BSTR text);

// A value filled by the library, freed when it goes or is filled again.
class ArcValue {
public:
    ArcValue();
    ~ArcValue();
    ArcValue(const ArcValue&) = delete;
    ArcValue& operator=(const ArcValue&) = delete;

    // Frees the old value and hands out the empty one to be filled.
    arclib::PROPVARIANT* Reset();
    const arclib::PROPVARIANT& Get() const { return value_; }
    bool IsEmpty() const { return value_.vt == arclib::VT_EMPTY; }

    bool IsString() const { return value_.vt == arclib::VT_BSTR && value_.bstrVal != nullptr; }
    std::wstring String() const { return IsString() ? UnitsFromBstr(value_.bstrVal) : std::wstring(); }
    // True for a boolean true; false for anything else.
    bool IsTrue() const { return value_.vt == arclib::VT_BOOL && value_.boolVal != 0; }
    // Unsigned and non-negative signed integers; false for anything else.
    bool ToUInt64(unsigned long long* out) const;
    bool IsFileTime() const { return value_.vt == arclib::VT_FILETIME; }
    // The bytes of a string used as a binary blob (a class id).
    bool Blob(void* out, unsigned int size) const;

private:
    void Clear();
    arclib::PROPVARIANT value_;
};
