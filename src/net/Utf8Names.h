#pragma once
// Names between the system's UTF-16 and the UTF-8 of host libraries.

#include <string>

// False for a lone surrogate, which no UTF-8 name can carry.
bool ToUtf8Name(const std::wstring& name, std::string* out);
// False for bytes that are not well-formed UTF-8 (overlong forms, surrogates, values past U+10FFFF).
bool FromUtf8Name(const std::string& name, std::wstring* out);
