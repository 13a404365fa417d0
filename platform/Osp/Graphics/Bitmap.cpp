#include "Osp/Graphics/Bitmap.h"

#include "host/GraphicsHost.h"

namespace Osp::Graphics {

using namespace Osp::Base;

namespace {

bool IsAcceptedSize(const Dimension& size) {
    return size.width > 0 && size.height > 0 &&
           static_cast<long long>(size.width) * size.height <= Bitmap::kMaxPixels;
}

bool IsKnownFormat(BitmapPixelFormat format) {
    return format == BITMAP_PIXEL_FORMAT_RGB565 || format == BITMAP_PIXEL_FORMAT_ARGB8888 ||
           format == BITMAP_PIXEL_FORMAT_R8G8B8A8;
}

}  // namespace

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()) {}

Bitmap::~Bitmap() = default;

result Bitmap::Construct(const Dimension& size, BitmapPixelFormat format) {
    if (!impl_->image.isNull()) {
        return E_INVALID_STATE;
    }
    if (!IsAcceptedSize(size) || !IsKnownFormat(format)) {
        return E_INVALID_ARG;
    }
    QImage image(size.width, size.height, host::QImageFormat(format));
    if (image.isNull()) {
        return E_OUT_OF_MEMORY;
    }
    image.fill(Qt::transparent);
    impl_->image = std::move(image);
    format_ = format;
    return E_SUCCESS;
}

result Bitmap::Scale(const Dimension& size) {
    if (impl_->image.isNull()) {
        return E_INVALID_STATE;
    }
    if (!IsAcceptedSize(size)) {
        return E_INVALID_ARG;
    }
    QImage scaled =
        impl_->image.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull()) {
        return E_OUT_OF_MEMORY;
    }
    impl_->image = std::move(scaled);
    return E_SUCCESS;
}

int Bitmap::GetWidth() const {
    return impl_->image.width();
}

int Bitmap::GetHeight() const {
    return impl_->image.height();
}

}  // namespace Osp::Graphics
