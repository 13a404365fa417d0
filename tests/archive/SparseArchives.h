#pragma once
// A tar and a stored ZIP whose first member, "hole.bin", is a long run of zeros left as a hole of a
// sparse file (nothing is written for it, so the archive costs no disk space), followed by a small
// member: the small member's header and bytes lie as far into the file as the first member's size puts
// them.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace sparse {

// One ustar header block for a regular file.
inline std::string TarHeader(const std::string& name, unsigned long long size) {
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
inline unsigned long long WriteTar(const std::string& path, unsigned long long holeSize, const std::string& name,
                                const std::string& content) {
    const unsigned long long padded = (holeSize + 511) / 512 * 512;
    const unsigned long long second = 512 + padded;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << TarHeader("hole.bin", holeSize);
    out.seekp(static_cast<std::streamoff>(second));
    out << TarHeader(name, content.size()) << content;
    out << std::string((512 - content.size() % 512) % 512 + 1024, '\0');
    return second + 512;
}

inline void PutLe(std::string* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<char>(value >> (8 * i)));
    }
}

inline std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A stored member's local header (central is false) or central directory record (offset used).
inline std::string ZipRecord(bool central, const std::string& name, std::uint32_t crc, std::uint32_t size,
                             std::uint32_t offset) {
    std::string r;
    PutLe(&r, central ? 0x02014b50u : 0x04034b50u, 4);
    if (central) {
        PutLe(&r, 20, 2);
    }
    PutLe(&r, 10, 2);      // version needed
    PutLe(&r, 0, 2);       // flags
    PutLe(&r, 0, 2);       // stored
    PutLe(&r, 0, 2);       // time
    PutLe(&r, 0x5021, 2);  // 2020-01-01
    PutLe(&r, crc, 4);
    PutLe(&r, size, 4);
    PutLe(&r, size, 4);
    PutLe(&r, static_cast<std::uint32_t>(name.size()), 2);
    PutLe(&r, 0, 2);
    if (central) {
        PutLe(&r, 0, 2);   // comment
        PutLe(&r, 0, 2);   // disk
        PutLe(&r, 0, 2);   // internal attributes
        PutLe(&r, 0, 4);   // external attributes
        PutLe(&r, offset, 4);
    }
    return r + name;
}

// Writes the ZIP at path: "hole.bin" of holeSize zero bytes (below 4 GiB), then name with content. The
// offset of content in the file is returned.
inline unsigned long long WriteZip(const std::string& path, std::uint32_t holeSize, const std::string& name,
                                   const std::string& content) {
    const std::string holeHeader = ZipRecord(false, "hole.bin", 0, holeSize, 0);
    const std::uint32_t second = static_cast<std::uint32_t>(holeHeader.size()) + holeSize;
    const std::uint32_t crc = Crc32(content);
    const std::string secondHeader = ZipRecord(false, name, crc, static_cast<std::uint32_t>(content.size()), 0);
    const std::uint32_t directory = second + static_cast<std::uint32_t>(secondHeader.size() + content.size());
    const std::string records = ZipRecord(true, "hole.bin", 0, holeSize, 0) +
                                ZipRecord(true, name, crc, static_cast<std::uint32_t>(content.size()), second);
    std::string end;
    PutLe(&end, 0x06054b50u, 4);
    PutLe(&end, 0, 4);  // disks
    PutLe(&end, 2, 2);
    PutLe(&end, 2, 2);
    PutLe(&end, static_cast<std::uint32_t>(records.size()), 4);
    PutLe(&end, directory, 4);
    PutLe(&end, 0, 2);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << holeHeader;
    out.seekp(second);
    out << secondHeader << content << records << end;
    return second + secondHeader.size();
}

}  // namespace sparse
