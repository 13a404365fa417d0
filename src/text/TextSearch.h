#pragma once
// Finds a text in a file's raw bytes without decoding them, case-insensitively, for the viewer's Find.
// Any thread; a pattern is read-only once made, so threads may share it.
//
// The text is turned into the bytes each of its characters has in the file's encoding, once in each of
// its cases; a match is a stretch of bytes where every character is one of those. Case is folded for the
// letters of Latin, Greek and Cyrillic scripts. A character the encoding cannot hold is never found.

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <vector>

#include "text/TextEncoding.h"

class TextPattern {
public:
    // text holds UTF-16 units, as the system's strings do. An empty text, or one the encoding cannot
    // hold, makes a pattern that finds nothing.
    TextPattern(const std::wstring& text, TTextEncoding encoding);

    bool IsEmpty() const { return length_ == 0; }
    // The bytes a match spans.
    size_t GetLength() const { return length_; }
    // The offset of the first match that begins in data[from..size) and ends by size, or npos. UTF-16
    // units begin at the even offsets of data.
    size_t FindFirst(const unsigned char* data, size_t size, size_t from) const;
    // The offset of the last match that begins before `before` and ends by size, or npos.
    size_t FindLast(const unsigned char* data, size_t size, size_t before) const;

    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    bool MatchesAt(const unsigned char* data) const;
    // The bytes of one character of the text in its cases, all of one length.
    struct SCharacter {
        std::vector<std::vector<unsigned char>> forms;
    };

    TTextEncoding encoding_;
    std::vector<SCharacter> characters_;
    std::vector<std::bitset<256>> allowed_;  // bytes that may stand at each offset of a match
    std::array<size_t, 256> shift_{};        // how far a byte at a match's last offset lets the search skip
    size_t length_ = 0;
};

// The other-case forms of a character for case-insensitive search: its lower and upper case where the
// scripts named above have them, and the character itself.
std::vector<char32_t> CaseForms(char32_t c);
