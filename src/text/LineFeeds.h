#pragma once
// Line feeds in a text file's raw bytes, for numbering its lines without decoding it: a line ends at a
// line feed (a byte 10, or a UTF-16 unit 10 at the unit positions). Any thread; no state.

#include <cstddef>

#include "text/TextEncoding.h"

// How many line feeds data[0..size) holds. unitParity is the parity of the offsets at which UTF-16 units
// begin; the other encodings ignore it.
size_t CountLineFeeds(const unsigned char* data, size_t size, TTextEncoding encoding, size_t unitParity);

// The offset just after the n-th line feed (n counted from 1) of data[0..size), or size when there are
// fewer; *found receives how many were passed.
size_t AfterLineFeeds(const unsigned char* data, size_t size, size_t n, TTextEncoding encoding,
                      size_t unitParity, size_t* found);
