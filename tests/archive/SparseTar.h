#pragma once
// A tar whose first member is a long run of zeros left as a hole of a sparse file (nothing is written
// for it, so the archive costs no disk space), followed by a small member: the small member's header and
// bytes lie as far into the file as the first member's size puts them.

#include <cstdio>
#include <fstream>
#include <string>

namespace sparsetar {

// One ustar header block for a regular file.
inline std::string Header(const std::string& name, unsigned long long size) {
    std::string block(512, '\0');
    block.replace(0, name.size(), name);
    auto octal = [&](size_t at, size_t width, unsigned long long value) {
        char text[24];
        std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1), value);
        block.replace(at, width - 1, text);
    };
    octal(100, 8, 0644);
    octal(108, 8, 0);
    octal(116, 8, 0);
    octal(124, 12, size);
    octal(136, 12, 1700000000);
    block[156] = '0';
    block.replace(257, 6, std::string("ustar\0", 6));
    block.replace(263, 2, "00");
    block.replace(148, 8, 8, ' ');
    unsigned int sum = 0;
    for (unsigned char c : block) {
        sum += c;
    }
    octal(148, 7, sum);
    return block;
}

// Writes the tar at path: "hole.bin" of holeSize zero bytes, then name with content. The offset of
// content in the file is returned.
inline unsigned long long Write(const std::string& path, unsigned long long holeSize, const std::string& name,
                                const std::string& content) {
    const unsigned long long padded = (holeSize + 511) / 512 * 512;
    const unsigned long long second = 512 + padded;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << Header("hole.bin", holeSize);
    out.seekp(static_cast<std::streamoff>(second));
    out << Header(name, content.size()) << content;
    out << std::string((512 - content.size() % 512) % 512 + 1024, '\0');
    return second + 512;
}

}  // namespace sparsetar
