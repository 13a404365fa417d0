#include "text/TextSource.h"

#include <algorithm>

#include "Osp/Io/File.h"
#include "text/EncodingDetection.h"
#include "text/TextDecoder.h"

namespace {

// Fills the buffer from the file; false when the file ends or fails first.
bool ReadFully(Osp::Io::File& file, unsigned char* buffer, std::uint32_t size) {
    std::uint32_t done = 0;
    while (done < size) {
        const int n = file.Read(buffer + done, static_cast<int>(size - done));
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::uint32_t>(n);
    }
    return true;
}

}  // namespace

TextSource::TLoad TextSource::Load() {
    m_pData.reset();
    m_nDataSize = 0;
    Osp::Io::File file;
    if (file.Construct(Osp::Base::String(m_sPath), L"r") != Osp::Base::E_SUCCESS ||
        file.Seek(Osp::Io::FILESEEKPOSITION_END, 0) != Osp::Base::E_SUCCESS) {
        return TLoad::Failed;
    }
    const long long fileSize = file.Tell();
    if (fileSize < 0 || file.Seek(Osp::Io::FILESEEKPOSITION_BEGIN, 0) != Osp::Base::E_SUCCESS) {
        return TLoad::Failed;
    }
    if (fileSize == 0) {
        return TLoad::Empty;
    }
    m_bTruncated = fileSize > kMaxBytes;
    const auto size = static_cast<std::uint32_t>(std::min<long long>(fileSize, kMaxBytes));
    auto data = std::make_unique_for_overwrite<unsigned char[]>(size);
    if (!ReadFully(file, data.get(), size)) {
        return TLoad::Failed;
    }
    m_pData = std::move(data);
    m_nDataSize = size;
    return TLoad::Loaded;
}

bool TextSource::Decode(std::wstring* out, int tabSize) {
    if (m_pData == nullptr && Load() != TLoad::Loaded) {
        return false;
    }
    size_t start = 0;
    if (m_nEncoding == ENCODING_AUTO) {
        const TSample sample = m_bTruncated ? TSample::CutAtEnd : TSample::Whole;
        m_nEncoding = DetectEncoding(m_pData.get(), m_nDataSize, sample, &start);
    }
    DecodeText(m_pData.get(), m_nDataSize, m_nEncoding, start, tabSize, out);
    if (m_nDataSize > kKeepRawBytes) {
        m_pData.reset();
    }
    return true;
}
