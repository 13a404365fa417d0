#pragma once
// The two single-byte code pages the viewer offers besides Latin-1. Positions that a code page leaves
// undefined give the code point equal to the byte, so that every byte still shows as something. Any
// thread; no state.

// Windows-1252: bytes 0x80 to 0x9F go through the code page, every other byte is its own code point.
wchar_t Cp1252ToUnicode(unsigned char byte);
// Windows-1251: bytes 0x80 to 0xFF go through the code page, bytes below are their own code points.
wchar_t Cp1251ToUnicode(unsigned char byte);
