#pragma once
// Places in a text file's bytes where decoding may begin, for reading a file through a window. Any
// thread; no state.
//
// A place just after a line break gives exactly the text that decoding the whole file gives from there
// on. In a stretch without line breaks (a binary file, one very long line) a place is a character's first
// byte instead: the text from there is the same apart from tab stops, which count from the place.

#include <cstddef>

#include "text/TextEncoding.h"

// How far NextPlace looks for a line break before it settles for a character's start.
inline constexpr size_t kPlaceSearchBytes = 64 * 1024;

// The first place at or after `from` in data[0..size), or size. unitParity is the parity of the offsets
// at which UTF-16 units begin (0 or 1); the other encodings ignore it.
size_t NextPlace(const unsigned char* data, size_t size, size_t from, TTextEncoding encoding,
                 size_t unitParity);

// The end of the last whole character in data[0..size): a window cut from inside a file ends there, so
// that its last character is not shown broken.
size_t EndOfWholeCharacters(const unsigned char* data, size_t size, TTextEncoding encoding,
                            size_t unitParity);
