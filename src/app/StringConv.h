#pragma once
// Conversions between the platform's string class and standard strings. Any thread may call these. No
// character set is converted: wide forms copy 16-bit units as they are; narrow forms map each byte onto
// one unit of the same value (0 to 255) and each unit back onto its low 8 bits.

#include <string>

#include "Osp/Base/String.h"

void FromStlWstring(Osp::Base::String* out, const std::wstring& units);
Osp::Base::String FromStlWstring(const std::wstring& units);

// All of the string's units, zero units included.
void ToStlWstring(std::wstring* out, const Osp::Base::String& text);
std::wstring ToStlWstring(const Osp::Base::String& text);

void FromStlString(Osp::Base::String* out, const std::string& bytes);
Osp::Base::String FromStlString(const std::string& bytes);

void ToStlString(std::string* out, const Osp::Base::String& text);
std::string ToStlString(const Osp::Base::String& text);
