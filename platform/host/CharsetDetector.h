#pragma once
// The desktop's character-set detector (uchardet) over a sample of a file's bytes. Any thread; each call
// has its own detector and shares nothing.
//
// The answer is the detector's own name for the character set, upper case as it gives it ("ASCII",
// "UTF-8", "WINDOWS-1251", "ISO-8859-1", ...), or empty when it has none or cannot run. What the name is
// taken to mean is the caller's business.

#include <cstddef>
#include <string>

namespace host {

std::string DetectCharset(const unsigned char* data, size_t size);

}  // namespace host
