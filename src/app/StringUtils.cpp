#include "app/StringUtils.h"

#include <algorithm>
#include <cctype>
#include <cwctype>

void AddTrailingSymbol(std::wstring* text, wchar_t c) {
    if (!text->empty() && text->back() != c) {
        text->push_back(c);
    }
}

void RemoveTrailingSymbol(std::wstring* text, wchar_t c, bool all) {
    while (!text->empty() && text->back() == c) {
        text->pop_back();
        if (!all) {
            return;
        }
    }
}

void ReplaceSymbol(std::wstring* text, wchar_t from, wchar_t to) {
    std::replace(text->begin(), text->end(), from, to);
}

unsigned CountChar(const std::wstring& text, wchar_t c) {
    return static_cast<unsigned>(std::count(text.begin(), text.end(), c));
}

namespace {

// A unit keeps its value when its mapping would not fit in 16 bits, so a string never grows a unit that
// its UTF-16 form cannot hold.
wchar_t MappedUnit(wchar_t unit, wint_t mapped) {
    return mapped <= 0xFFFF ? static_cast<wchar_t>(mapped) : unit;
}

}  // namespace

void MakeUpper(std::wstring* text) {
    for (wchar_t& unit : *text) {
        if (std::iswlower(static_cast<wint_t>(unit))) {
            unit = MappedUnit(unit, std::towupper(static_cast<wint_t>(unit)));
        }
    }
}

void MakeLower(std::wstring* text) {
    for (wchar_t& unit : *text) {
        if (std::iswupper(static_cast<wint_t>(unit))) {
            unit = MappedUnit(unit, std::towlower(static_cast<wint_t>(unit)));
        }
    }
}

// The narrow classifiers take the byte as unsigned char: a negative char would be undefined behaviour.
void MakeUpper(std::string* text) {
    for (char& c : *text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (std::islower(byte)) {
            c = static_cast<char>(std::toupper(byte));
        }
    }
}

void MakeLower(std::string* text) {
    for (char& c : *text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (std::isupper(byte)) {
            c = static_cast<char>(std::tolower(byte));
        }
    }
}
