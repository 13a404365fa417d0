#pragma once
// Turns the raw bytes of a text file into the wide text the viewer lays out. Any thread; no state.
//
// The decoded text holds only what the layout understands: printable characters, spaces and line feeds.
// Every line break of the file (CR, LF, CR LF or LF CR) becomes one line feed, tabs become spaces up to the
// next tab stop, and the other ASCII control characters are dropped. Bad input never fails: a broken UTF-8
// sequence gives U+FFFD, and an odd last byte of UTF-16 text is ignored.

#include <cstddef>
#include <string>

#include "text/TextEncoding.h"

// The encoding the file's byte-order mark names, or Latin-1 when there is none; *start receives the
// offset of the first byte after the mark. A file shorter than three bytes never has a mark.
TTextEncoding DetectEncoding(const unsigned char* data, size_t size, size_t* start);

// Reads one character of at most three bytes at *pos (which must be below size) and moves *pos past it.
// A byte that cannot start a character gives U+FFFD and is consumed alone; a sequence cut short by a
// byte that cannot continue it (or by the end) gives U+FFFD and leaves *pos at that byte.
wchar_t GetUtf8Char(const unsigned char* data, size_t size, size_t* pos);

// Decodes data[start..size) in the encoding (which must not be ENCODING_AUTO) into *out, replacing what
// it held. Tab stops lie every tabSize columns, counted in characters from the start of the line.
void DecodeText(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start, int tabSize,
                std::wstring* out);
