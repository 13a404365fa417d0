#include "text/TextSource.h"

#include <algorithm>

#include "Osp/Io/File.h"
#include "text/EncodingDetection.h"
#include "text/TextPlaces.h"

long long TextSource::Measure() const {
    Osp::Io::File file;
    if (file.Construct(Osp::Base::String(m_sPath), L"r") != Osp::Base::E_SUCCESS ||
        file.Seek(Osp::Io::FILESEEKPOSITION_END, 0) != Osp::Base::E_SUCCESS) {
        return -1;
    }
    return file.Tell();
}

bool TextSource::ReadAt(std::uint64_t offset, std::uint32_t length, std::vector<unsigned char>* bytes) const {
    bytes->resize(length);
    Osp::Io::File file;
    if (file.Construct(Osp::Base::String(m_sPath), L"r") != Osp::Base::E_SUCCESS ||
        file.Seek(Osp::Io::FILESEEKPOSITION_BEGIN, static_cast<long long>(offset)) != Osp::Base::E_SUCCESS) {
        return false;
    }
    std::uint32_t done = 0;
    while (done < length) {
        const int n = file.Read(bytes->data() + done, static_cast<int>(length - done));
        if (n <= 0) {
            break;
        }
        done += static_cast<std::uint32_t>(n);
    }
    // A file cut shorter since it was measured, or one that fails part way, reads as far as it goes.
    bytes->resize(done);
    return true;
}

TextSource::TLoad TextSource::Open() {
    const long long size = Measure();
    if (size < 0) {
        return TLoad::Failed;
    }
    m_nFileSize = static_cast<std::uint64_t>(size);
    if (size == 0) {
        return TLoad::Empty;
    }
    if (m_nEncoding != ENCODING_AUTO) {
        return TLoad::Loaded;
    }
    std::vector<unsigned char> first;
    if (!ReadAt(0, static_cast<std::uint32_t>(std::min<std::uint64_t>(m_nFileSize, kWindowBytes)), &first) ||
        first.empty()) {
        return TLoad::Failed;
    }
    const TSample sample = first.size() < m_nFileSize ? TSample::CutAtEnd : TSample::Whole;
    size_t start = 0;
    m_nEncoding = DetectEncoding(first.data(), first.size(), sample, &start);
    m_nDataStart = start;
    return TLoad::Loaded;
}

bool TextSource::Load(std::uint64_t position, TPosition how, int tabSize, std::u16string* out,
                      size_t* positionText) {
    const long long size = Measure();
    if (size < 0) {
        // A file that went or can no longer be read has changed as much as a file can.
        m_bChanged = true;
        return false;
    }
    if (static_cast<std::uint64_t>(size) != m_nFileSize) {
        m_bChanged = true;
        m_nFileSize = static_cast<std::uint64_t>(size);
    }
    const std::uint64_t dataStart = std::min(m_nDataStart, m_nFileSize);
    position = std::clamp(position, dataStart, m_nFileSize);
    if (position == dataStart) {
        how = TPosition::Place;
    }
    // The window lies around the position, filled from before it where the file ends early.
    std::uint64_t begin = position - std::min<std::uint64_t>(position - dataStart, kWindowBytes / 2);
    const std::uint64_t end = std::min(m_nFileSize, begin + kWindowBytes);
    begin = end - std::min<std::uint64_t>(end - dataStart, kWindowBytes);
    std::vector<unsigned char> bytes;
    if (!ReadAt(begin, static_cast<std::uint32_t>(end - begin), &bytes)) {
        return false;
    }
    if (bytes.size() < end - begin) {
        m_bChanged = true;
        m_nFileSize = begin + bytes.size();
    }
    const size_t parity = static_cast<size_t>(begin & 1);
    const bool cutAtEnd = begin + bytes.size() < m_nFileSize;
    const size_t size32 =
        cutAtEnd ? EndOfWholeCharacters(bytes.data(), bytes.size(), m_nEncoding, parity) : bytes.size();
    size_t at = static_cast<size_t>(std::min<std::uint64_t>(position - begin, size32));
    if (how == TPosition::AnyByte) {
        at = NextPlace(bytes.data(), size32, at, m_nEncoding, parity);
    }
    // A window that does not begin the text begins at a place, never past the position asked for.
    const size_t first =
        begin > dataStart ? std::min(at, NextPlace(bytes.data(), size32, 0, m_nEncoding, parity)) : 0;
    DecodeTextMarked(bytes.data(), size32, m_nEncoding, first, parity, tabSize, at, kMarkSpacing, out,
                     &m_oMarks);
    m_nWindowStart = begin + first;
    m_nWindowEnd = begin + size32;
    m_nTextSize = out->size();
    for (STextMark& mark : m_oMarks) {
        mark.bytePos -= first;
    }
    *positionText = out->size();
    for (const STextMark& mark : m_oMarks) {
        if (mark.bytePos + first == at) {
            *positionText = mark.textPos;
            break;
        }
    }
    return true;
}

TextSource::SPlace TextSource::PlaceBefore(size_t textPos) const {
    if (m_oMarks.empty()) {
        return SPlace{0, m_nWindowStart};
    }
    auto after = std::upper_bound(m_oMarks.begin(), m_oMarks.end(), textPos,
                                  [](size_t pos, const STextMark& mark) { return pos < mark.textPos; });
    const STextMark& mark = after == m_oMarks.begin() ? m_oMarks.front() : *(after - 1);
    return SPlace{mark.textPos, m_nWindowStart + mark.bytePos};
}

std::uint64_t TextSource::ByteOf(size_t textPos) const {
    if (m_oMarks.empty()) {
        return m_nWindowStart;
    }
    auto after = std::upper_bound(m_oMarks.begin(), m_oMarks.end(), textPos,
                                  [](size_t pos, const STextMark& mark) { return pos < mark.textPos; });
    const STextMark before = after == m_oMarks.begin() ? m_oMarks.front() : *(after - 1);
    const size_t nextText = after == m_oMarks.end() ? m_nTextSize : after->textPos;
    const std::uint64_t nextByte = after == m_oMarks.end() ? m_nWindowEnd - m_nWindowStart : after->bytePos;
    const size_t span = nextText > before.textPos ? nextText - before.textPos : 1;
    const std::uint64_t bytes = nextByte - before.bytePos;
    const size_t into = std::min(textPos, nextText) - std::min(textPos, before.textPos);
    return m_nWindowStart + before.bytePos + bytes * into / span;
}

bool TextSource::TakeChanged() {
    const bool changed = m_bChanged;
    m_bChanged = false;
    return changed;
}
