#pragma once
// Small edits of standard strings: trailing symbols, replacing and counting characters, and case mapping
// with the C library's character classification. Any thread may call these; they hold no state. Wide
// strings hold one 16-bit unit per element; a unit outside the basic plane (a surrogate) is never changed.

#include <string>

// Appends c unless the string is empty or already ends in c.
void AddTrailingSymbol(std::wstring* text, wchar_t c);
// Removes one trailing c, or every trailing c when all is true.
void RemoveTrailingSymbol(std::wstring* text, wchar_t c, bool all);
void ReplaceSymbol(std::wstring* text, wchar_t from, wchar_t to);
unsigned CountChar(const std::wstring& text, wchar_t c);

void MakeUpper(std::wstring* text);
void MakeLower(std::wstring* text);
void MakeUpper(std::string* text);
void MakeLower(std::string* text);
