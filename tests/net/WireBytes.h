#pragma once
// Helpers of the network tests: hex byte strings, and received SMB messages put together field by field
// the way a server would send them.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// "00 0a ff" or "000aff" to bytes.
inline Bytes Hex(const std::string& text) {
    Bytes out;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<unsigned char>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

inline void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline void Put64(Bytes& b, unsigned long long v) {
    Put32(b, static_cast<unsigned>(v));
    Put32(b, static_cast<unsigned>(v >> 32));
}

inline void PutUtf16(Bytes& b, const std::wstring& s) {
    for (wchar_t c : s) {
        Put16(b, static_cast<unsigned>(c));
    }
}

// A whole received message: transport header, SMB header with `command` and `status`, the words and the
// bytes.
inline Bytes SmbMessage(unsigned char command, unsigned status, const Bytes& words, const Bytes& bytes) {
    Bytes m = {0, 0, 0, 0, 0xFF, 'S', 'M', 'B', command};
    Put32(m, status);
    m.resize(4 + 32, 0);
    // flags2: Unicode and NT status, as a server of this dialect answers.
    m[4 + 10] = 0x01;
    m[4 + 11] = 0xC0;
    m.push_back(static_cast<unsigned char>(words.size() / 2));
    m.insert(m.end(), words.begin(), words.end());
    Put16(m, static_cast<unsigned>(bytes.size()));
    m.insert(m.end(), bytes.begin(), bytes.end());
    unsigned size = static_cast<unsigned>(m.size() - 4);
    m[1] = static_cast<unsigned char>(size >> 16);
    m[2] = static_cast<unsigned char>(size >> 8);
    m[3] = static_cast<unsigned char>(size);
    return m;
}

// The counts of a transaction answer; by default those of a complete one-message answer.
struct STransCounts {
    int totalParams = -1;
    int totalData = -1;
    unsigned paramDisplacement = 0;
    unsigned dataDisplacement = 0;
};

// A TRANSACTION2 (or TRANSACTION) answer with no setup words whose parameters start at offset 56 and whose
// data follows at the next multiple of 4, as a server lays them out.
inline Bytes TransResponse(const Bytes& params, const Bytes& data, STransCounts counts = {},
                           unsigned char command = 0x32) {
    const unsigned paramOffset = 56;  // 32 + 1 + 20 + 2, plus one pad byte
    unsigned dataOffset = (paramOffset + static_cast<unsigned>(params.size()) + 3) / 4 * 4;
    Bytes words;
    Put16(words, counts.totalParams < 0 ? static_cast<unsigned>(params.size()) : counts.totalParams);
    Put16(words, counts.totalData < 0 ? static_cast<unsigned>(data.size()) : counts.totalData);
    Put16(words, 0);
    Put16(words, static_cast<unsigned>(params.size()));
    Put16(words, paramOffset);
    Put16(words, counts.paramDisplacement);
    Put16(words, static_cast<unsigned>(data.size()));
    Put16(words, dataOffset);
    Put16(words, counts.dataDisplacement);
    Put16(words, 0);  // setup count, reserved
    Bytes bytes(1, 0);
    bytes.insert(bytes.end(), params.begin(), params.end());
    bytes.resize(dataOffset - 55, 0);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return SmbMessage(command, 0, words, bytes);
}
