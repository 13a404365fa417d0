#pragma once
// Turns the raw bytes of a text file into the wide text the viewer lays out. Any thread; no state.
//
// The decoded text holds only what the layout understands: printable characters, spaces and line feeds.
// Every line break of the file (CR, LF, CR LF or LF CR) becomes one line feed, tabs become spaces up to the
// next tab stop, and the other ASCII control characters are dropped. Bad input never fails: a broken UTF-8
// sequence gives U+FFFD, and an odd last byte of UTF-16 text is ignored. Characters beyond the Basic
// Multilingual Plane come out as UTF-16 surrogate pairs; a surrogate alone gives U+FFFD.

#include <cstddef>
#include <string>
#include <vector>

#include "text/TextEncoding.h"

// The encoding the file's byte-order mark names, or ENCODING_AUTO when there is none; *start receives the
// offset of the first byte after the mark. A file shorter than three bytes never has a mark.
TTextEncoding EncodingOfMark(const unsigned char* data, size_t size, size_t* start);

// Whether the bytes are well-formed UTF-8 with at least one character beyond ASCII. With
// TSample::CutAtEnd the bytes are the start of a longer file, so a sequence cut by their end still counts.
enum class TSample { Whole, CutAtEnd };
bool IsUtf8BeyondAscii(const unsigned char* data, size_t size, TSample sample);

// Reads one character at *pos (which must be below size), returns its code point and moves *pos past it.
// Ill-formed input gives one U+FFFD per maximal subpart, as Unicode recommends: a byte that cannot start
// a character is consumed alone, and a sequence cut short by a byte that cannot continue it (or by the
// end) leaves *pos at that byte. Overlong forms, surrogates and values beyond U+10FFFF never decode.
char32_t GetUtf8Char(const unsigned char* data, size_t size, size_t* pos);

// Decodes data[start..size) in the encoding (which must not be ENCODING_AUTO) into *out, replacing what
// it held. Tab stops lie every tabSize columns, counted in characters from the start of the line.
void DecodeText(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start, int tabSize,
                std::u16string* out);

// A place noted while decoding: the text from textPos on is what decoding from bytePos gives (see
// TextPlaces.h).
struct STextMark {
    size_t textPos = 0;
    size_t bytePos = 0;
};

// Decodes like DecodeText and notes marks, in order of position: one at start, one at `pinned` (which
// must be a place, or size to pin nothing) and one at a place about every markSpacing bytes. unitParity is
// the parity of the offsets at which UTF-16 units begin.
void DecodeTextMarked(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start,
                      size_t unitParity, int tabSize, size_t pinned, size_t markSpacing, std::u16string* out,
                      std::vector<STextMark>* marks);
