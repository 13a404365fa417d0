#include "host/SampleArchive.h"

#include <cstdint>
#include <cstdio>

namespace host {
namespace {

// A fixed date for every item, 1 June 2024 12:00, so that the sample is the same on every start.
constexpr uint16_t kDosTime = 12 << 11;
constexpr uint16_t kDosDate = ((2024 - 1980) << 9) | (6 << 5) | 1;
constexpr uint32_t kUnixTime = 1717243200;

uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields that the local header and the central directory entry share, from the version needed on.
std::string ZipCommonFields(const SampleItem& item) {
    std::string out;
    Put16(out, 10);  // version needed: 1.0
    Put16(out, 0);   // flags
    Put16(out, 0);   // method: stored
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, Crc32(item.data));
    Put32(out, static_cast<uint32_t>(item.data.size()));
    Put32(out, static_cast<uint32_t>(item.data.size()));
    Put16(out, static_cast<uint32_t>(item.path.size()));
    Put16(out, 0);  // extra field length
    return out;
}

// A tar header in the POSIX ustar layout.
std::string TarHeader(const SampleItem& item) {
    std::string header(512, '\0');
    bool folder = !item.path.empty() && item.path.back() == '/';
    auto field = [&header](size_t offset, size_t width, const std::string& text) {
        header.replace(offset, text.size() < width ? text.size() : width, text.substr(0, width));
    };
    auto octal = [&field](size_t offset, size_t width, unsigned long long value) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%0*llo", static_cast<int>(width - 1), value);
        field(offset, width - 1, buf);
    };
    field(0, 100, item.path);
    octal(100, 8, folder ? 0755 : 0644);
    octal(108, 8, 0);
    octal(116, 8, 0);
    octal(124, 12, folder ? 0 : item.data.size());
    octal(136, 12, kUnixTime);
    field(148, 8, "        ");  // the checksum counts its own field as spaces
    header[156] = folder ? '5' : '0';
    field(257, 6, std::string("ustar", 6));
    field(263, 2, "00");
    unsigned int sum = 0;
    for (unsigned char c : header) {
        sum += c;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06o", sum);
    field(148, 7, std::string(buf, 6) + '\0');
    return header;
}

// A deflate stream of stored blocks, each at most 65,535 bytes.
std::string StoredDeflate(const std::string& data) {
    std::string out;
    size_t at = 0;
    do {
        size_t length = data.size() - at < 0xFFFF ? data.size() - at : 0xFFFF;
        bool last = at + length == data.size();
        out += static_cast<char>(last ? 1 : 0);
        Put16(out, static_cast<uint32_t>(length));
        Put16(out, static_cast<uint32_t>(~length & 0xFFFF));
        out.append(data, at, length);
        at += length;
    } while (at < data.size());
    return out;
}

}  // namespace

std::string MakeStoredZip(const std::vector<SampleItem>& items) {
    std::string out;
    std::string directory;
    for (const SampleItem& item : items) {
        uint32_t offset = static_cast<uint32_t>(out.size());
        std::string common = ZipCommonFields(item);
        Put32(out, 0x04034B50);
        out += common + item.path + item.data;

        Put32(directory, 0x02014B50);
        Put16(directory, 0x031E);  // made by: Unix, 3.0
        directory += common;
        Put16(directory, 0);  // comment length
        Put16(directory, 0);  // disk number
        Put16(directory, 0);  // internal attributes
        bool folder = !item.path.empty() && item.path.back() == '/';
        Put32(directory, (folder ? 040755u : 0100644u) << 16 | (folder ? 0x10u : 0u));
        Put32(directory, offset);
        directory += item.path;
    }
    uint32_t directoryOffset = static_cast<uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(items.size()));
    Put16(out, static_cast<uint32_t>(items.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

std::string MakeStoredTarGz(const std::vector<SampleItem>& items) {
    std::string tar;
    for (const SampleItem& item : items) {
        tar += TarHeader(item);
        tar += item.data;
        tar.append((512 - item.data.size() % 512) % 512, '\0');
    }
    tar.append(1024, '\0');

    std::string out("\x1F\x8B\x08\x00", 4);  // gzip, deflate, no flags
    Put32(out, kUnixTime);
    out += '\0';    // no extra flags
    out += '\x03';  // made on Unix
    out += StoredDeflate(tar);
    Put32(out, Crc32(tar));
    Put32(out, static_cast<uint32_t>(tar.size()));
    return out;
}

}  // namespace host
