#include "Osp/Media/Image.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <string>

#include "host/GraphicsHost.h"
#include "host/HostPaths.h"

namespace Osp::Media {

using namespace Osp::Base;
using Osp::Graphics::Bitmap;
using Osp::Graphics::BitmapPixelFormat;

namespace {

constexpr int kNoScaling = 0;

result ReadImageFile(const std::wstring& virtualPath, QByteArray& data) {
    std::string hostPath;
    result r = host::MapPath(virtualPath, hostPath);
    if (IsFailed(r)) {
        return r;
    }
    QString path = QFile::decodeName(QByteArray::fromStdString(hostPath));
    QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        return E_FILE_NOT_FOUND;
    }
    if (info.size() > Image::kMaxFileBytes) {
        return E_OUT_OF_RANGE;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return E_ILLEGAL_ACCESS;
    }
    data = file.read(Image::kMaxFileBytes + 1);
    return data.size() > Image::kMaxFileBytes ? E_OUT_OF_RANGE : E_SUCCESS;
}

bool IsAcceptedFormat(const QByteArray& format) {
    return format == "png" || format == "jpeg" || format == "jpg" || format == "gif" || format == "bmp";
}

// Decodes only after the header has shown a known format and a size within bounds, so that a hostile
// header cannot make the decoder allocate without limit.
result Decode(QByteArray& data, QImage& image) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!IsAcceptedFormat(reader.format())) {
        return E_UNSUPPORTED_FORMAT;
    }
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return E_INVALID_FORMAT;
    }
    if (static_cast<long long>(size.width()) * size.height() > Bitmap::kMaxPixels) {
        return E_OUT_OF_RANGE;
    }
    if (!reader.read(&image) || image.size() != size) {
        return E_INVALID_FORMAT;
    }
    return E_SUCCESS;
}

Bitmap* Fail(result r) {
    SetLastResult(r);
    return nullptr;
}

}  // namespace

Bitmap* Image::DecodeN(const String& path, BitmapPixelFormat format) const {
    return DecodeN(path, format, kNoScaling, kNoScaling);
}

Bitmap* Image::DecodeN(const String& path, BitmapPixelFormat format, int destWidth, int destHeight) const {
    bool scaled = destWidth != kNoScaling || destHeight != kNoScaling;
    if (scaled && (destWidth <= 0 || destHeight <= 0 ||
                   static_cast<long long>(destWidth) * destHeight > Bitmap::kMaxPixels)) {
        return Fail(E_INVALID_ARG);
    }
    QByteArray data;
    result r = ReadImageFile(path.Units(), data);
    if (IsFailed(r)) {
        return Fail(r);
    }
    QImage image;
    r = Decode(data, image);
    if (IsFailed(r)) {
        return Fail(r);
    }
    if (scaled) {
        image = image.scaled(destWidth, destHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return host::NewBitmapN(image, format);
}

}  // namespace Osp::Media
