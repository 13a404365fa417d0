#pragma once
// File-name and path splitting over wide strings. Any thread may call these; they hold no state.

#include <string>

// Splits path at its last separator sep (the first character of path when sep is 0). dir gets everything
// up to and including that separator, name the rest (possibly empty). Returns false, leaving both alone,
// when path holds no separator.
bool ParseFileName(const std::wstring& path, std::wstring* dir, std::wstring* name, wchar_t sep);

// The text behind the last '.'; empty when there is no '.' or it is the last character.
void GetFileExt(const std::wstring& name, std::wstring* ext);

// ext as GetFileExt; base is name without the '.' and the extension, or all of name when ext is empty.
void SplitFileName(const std::wstring& name, std::wstring* base, std::wstring* ext);
