#pragma once
// NetBIOS names as the name service carries them. A first-level name is 32 letters from 'A' to 'P', two per
// byte of the 16-byte name (15 characters, blank-padded, then the one-byte suffix). A second-level name is
// a chain of length-prefixed labels: the 32 letters, then the scope's labels, then a zero length. Stateless;
// any thread.

#include <string>

inline constexpr unsigned int kL1NameLength = 32;
inline constexpr unsigned int kNetBiosNameChars = 15;

// One byte as two letters ('A' plus each nibble, high nibble first), and back.
void L1Encode(unsigned char byte, char* twoLetters);
// False when either letter lies outside 'A' to 'P'.
bool L1Decode(const char* twoLetters, unsigned char* byte);

// The 32 letters of `name` (at most its first 15 characters, upper-cased) with `suffix`. A name beginning
// with '*' is padded with zero bytes instead of blanks.
std::string ToL1NetBiosName(const std::string& name, unsigned char suffix);

// The second-level form: the byte 32, the 32 letters, each label of the upper-cased scope with its length,
// and a zero byte. Empty labels (as in "a..b" or a trailing '.') are left out. Empty when the scope cannot be
// encoded: a label longer than 63 bytes or a name longer than the 255 bytes a datagram allows.
std::string ToL2NetBiosName(const std::string& name, const std::string& scope, unsigned char suffix);

// Parses a second-level name that must lie within the `length` bytes at `p`: a first label of exactly the
// 32 letters, then labels of fewer than 64 bytes up to a zero length. Fills name (trailing blanks removed),
// scope (labels joined by '.') and suffix, and returns the pointer behind the zero byte; null when the bytes
// do not form such a name. Any output may be null.
const unsigned char* ParseL2Name(const unsigned char* p, unsigned int length, std::string* name,
                                 std::string* scope, unsigned char* suffix);
