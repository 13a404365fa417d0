#pragma once
// The bytes of one text file as the viewer holds them: at most the first kMaxBytes of the file, read
// whole, and decoded on request in the detected or chosen encoding. Used on the user-interface thread.
//
// A large file does not keep two copies: beyond kKeepRawBytes the raw bytes are dropped once decoded and
// read again from the file when another encoding is chosen. The file is only ever read.

#include <cstdint>
#include <memory>
#include <string>

#include "text/TextEncoding.h"

class TextSource {
public:
    static constexpr std::uint32_t kMaxBytes = 1500 * 1024;
    static constexpr std::uint32_t kKeepRawBytes = 900 * 1024;

    enum class TLoad { Loaded, Empty, Failed };

    explicit TextSource(std::wstring path) : m_sPath(std::move(path)) {}

    // Reads the file (up to kMaxBytes) into memory, replacing what was held. Empty: the file has no bytes.
    // Failed: it cannot be opened, measured or read completely.
    TLoad Load();

    // Decodes the held bytes into *out, reading the file again first when they were dropped. Detects the
    // encoding while none is chosen (see EncodingDetection.h), skipping a byte-order mark; a chosen
    // encoding decodes from the first byte. False when the file cannot be read again.
    bool Decode(std::wstring* out, int tabSize);

    TTextEncoding GetEncoding() const { return m_nEncoding; }
    // The user's choice, which detection never overrides.
    void SetEncoding(TTextEncoding encoding) {
        m_nEncoding = encoding;
        m_bChosen = true;
    }
    bool IsEncodingChosen() const { return m_bChosen; }
    // Puts back an encoding and how it came about, after a choice that could not be decoded.
    void RestoreEncoding(TTextEncoding encoding, bool chosen) {
        m_nEncoding = encoding;
        m_bChosen = chosen;
    }
    bool IsTruncated() const { return m_bTruncated; }
    std::uint32_t GetDataSize() const { return m_nDataSize; }
    bool HoldsData() const { return m_pData != nullptr; }

private:
    std::wstring m_sPath;
    std::unique_ptr<unsigned char[]> m_pData;  // null before loading and after a large file is decoded
    std::uint32_t m_nDataSize = 0;
    TTextEncoding m_nEncoding = ENCODING_AUTO;
    bool m_bTruncated = false;
    bool m_bChosen = false;
};
