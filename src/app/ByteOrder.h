#pragma once
// Little-endian integers and strings in byte buffers, for building and reading network messages. Any
// thread may call these; they hold no state. Every function works on unaligned addresses. The caller
// guarantees the room: nothing here checks a buffer's length, so parsers of outside bytes check lengths
// before they call a reader.
//
// Wide strings hold one 16-bit UTF-16 unit per element; in buffers such a unit is two bytes,
// little-endian, whatever the width of wchar_t on the host.

#include <cstdint>
#include <string>

unsigned short GetUint16(const void* p);
unsigned int GetUint32(const void* p);
unsigned long long GetUint64(const void* p);

void SetUint16(void* p, unsigned short value);
void SetUint32(void* p, unsigned long value);
void SetUint64(void* p, unsigned long long value);

// Read at the cursor and move it past what was read.
unsigned char ReadUbyte(const unsigned char** cursor);
unsigned short ReadUint16(const unsigned char** cursor);
unsigned int ReadUint32(const unsigned char** cursor);

// Write at p and return the pointer just behind what was written.
unsigned char* WriteUbyte(unsigned char* p, unsigned char value);
unsigned char* WriteUint16(unsigned char* p, unsigned short value);
unsigned char* WriteUint32(unsigned char* p, unsigned long value);

// A narrow string with its terminating zero byte.
unsigned char* WriteOemSz(unsigned char* p, const char* text);

// The string's 16-bit units and one terminating zero unit, each two bytes little-endian.
unsigned char* WriteUnicodeSz(unsigned char* p, const std::wstring& text);

// The 4-byte session-message header of the transport: a zero byte, then the low 24 bits of length, most
// significant byte first.
unsigned char* WriteTransportHeader(unsigned char* p, unsigned int length);

// Passing this as ArrayToWstring's count reads up to the first zero unit.
inline constexpr unsigned int kUntilZeroUnit = 0xFFFFFFFF;

// Builds *out from 16-bit little-endian units at p: exactly count units, or up to (not including) the first
// zero unit when count is kUntilZeroUnit. With kUntilZeroUnit the caller guarantees a zero unit is there.
void ArrayToWstring(std::wstring* out, const void* p, unsigned int count);
