#pragma once
// Chooses the encoding of a text file that the user has not chosen one for, from a sample of its first
// bytes. Any thread; no state.
//
// In this order: a byte-order mark names the encoding (*start then skips the mark); well-formed UTF-8
// with at least one character beyond ASCII is UTF-8; ASCII text stored as UTF-16 without a mark shows as
// NUL bytes in one of the two byte positions of a unit and almost never in the other; the rest goes to the
// desktop's character-set detector, whose answer counts only when it names one of the single-byte
// encodings the viewer offers. Everything else gives kDefaultEncoding.

#include <cstddef>

#include "text/TextDecoder.h"
#include "text/TextEncoding.h"

inline constexpr TTextEncoding kDefaultEncoding = ENCODING_LATIN1;

TTextEncoding DetectEncoding(const unsigned char* data, size_t size, TSample sample, size_t* start);
