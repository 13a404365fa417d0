#pragma once
// A text file as the viewer reads it: through a window of at most kWindowBytes that moves through the
// file, decoded in the detected or chosen encoding. Memory stays in proportion to the window whatever the
// size of the file. Used on the user-interface thread; the file is only ever read.
//
// Byte positions are offsets in the file (64-bit). A window always begins at a place (TextPlaces.h), and
// the text of a window carries marks that tie text positions to places, so that the viewer can move the
// window and keep the same line in view. The file may change while it is open: every load measures it
// again, reads what is there and notes the change for the viewer to tell (TakeChanged).

#include <cstdint>
#include <string>
#include <vector>

#include "text/TextDecoder.h"
#include "text/TextEncoding.h"

class TextSource {
public:
    static constexpr std::uint32_t kWindowBytes = 256 * 1024;
    // Marks lie about this far apart in a window.
    static constexpr std::uint32_t kMarkSpacing = 4 * 1024;

    enum class TLoad { Loaded, Empty, Failed };
    // How a position handed to Load is to be taken: as a place already, or as any byte, from which the
    // next place is found.
    enum class TPosition { Place, AnyByte };

    explicit TextSource(std::wstring path) : m_sPath(std::move(path)) {}

    // Measures the file and, while no encoding is chosen, detects it from the file's first window.
    // Empty: the file has no bytes. Failed: it cannot be opened, measured or read.
    TLoad Open();

    // Reads and decodes the window around `position` into *out; *positionText receives the text position
    // of the place taken for it. A position beyond the end takes the end. False when the file cannot be
    // read; the window is then what it was.
    bool Load(std::uint64_t position, TPosition how, int tabSize, std::u16string* out, size_t* positionText);

    // A place of the current window: its text position and its byte in the file.
    struct SPlace {
        size_t textPos = 0;
        std::uint64_t byte = 0;
    };
    // The place at or before a text position of the current window.
    SPlace PlaceBefore(size_t textPos) const;
    // The byte a text position of the current window comes from, estimated between the marks around it.
    std::uint64_t ByteOf(size_t textPos) const;

    TTextEncoding GetEncoding() const { return m_nEncoding; }
    // The user's choice, which detection never overrides.
    void SetEncoding(TTextEncoding encoding) {
        m_nEncoding = encoding;
        m_bChosen = true;
        m_nDataStart = 0;
    }
    bool IsEncodingChosen() const { return m_bChosen; }
    // Puts back an encoding and how it came about, after a choice that could not be decoded.
    void RestoreEncoding(TTextEncoding encoding, bool chosen, std::uint64_t dataStart) {
        m_nEncoding = encoding;
        m_bChosen = chosen;
        m_nDataStart = dataStart;
    }

    const std::wstring& GetPath() const { return m_sPath; }
    std::uint64_t GetFileSize() const { return m_nFileSize; }
    // Where the text begins: after a byte-order mark that detection found, else 0.
    std::uint64_t GetDataStart() const { return m_nDataStart; }
    std::uint64_t GetWindowStart() const { return m_nWindowStart; }
    std::uint64_t GetWindowEnd() const { return m_nWindowEnd; }
    bool WindowAtStart() const { return m_nWindowStart <= m_nDataStart; }
    bool WindowAtEnd() const { return m_nWindowEnd >= m_nFileSize; }
    // True once after the file was found to have changed size since it was last measured.
    bool TakeChanged();

private:
    // The file's size now, or -1 when it cannot be opened or measured.
    long long Measure() const;
    // Reads up to length bytes from offset into *bytes, fewer when the file ends or fails first. False when
    // it cannot be opened.
    bool ReadAt(std::uint64_t offset, std::uint32_t length, std::vector<unsigned char>* bytes) const;

    std::wstring m_sPath;
    TTextEncoding m_nEncoding = ENCODING_AUTO;
    bool m_bChosen = false;
    std::uint64_t m_nDataStart = 0;
    std::uint64_t m_nFileSize = 0;
    bool m_bChanged = false;
    std::uint64_t m_nWindowStart = 0;
    std::uint64_t m_nWindowEnd = 0;
    std::vector<STextMark> m_oMarks;  // of the current window, byte positions relative to its start
    size_t m_nTextSize = 0;           // of the current window
};
