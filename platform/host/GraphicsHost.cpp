#include "host/GraphicsHost.h"

namespace host {

using namespace Osp::Base;
using namespace Osp::Graphics;

QImage::Format QImageFormat(BitmapPixelFormat format) {
    switch (format) {
        case BITMAP_PIXEL_FORMAT_RGB565:
            return QImage::Format_RGB16;
        case BITMAP_PIXEL_FORMAT_R8G8B8A8:
            return QImage::Format_RGBA8888_Premultiplied;
        case BITMAP_PIXEL_FORMAT_ARGB8888:
            break;
    }
    return QImage::Format_ARGB32_Premultiplied;
}

Bitmap* NewBitmapN(const QImage& image, BitmapPixelFormat format) {
    if (image.isNull() || static_cast<long long>(image.width()) * image.height() > Bitmap::kMaxPixels) {
        SetLastResult(E_INVALID_ARG);
        return nullptr;
    }
    auto* bitmap = new Bitmap;
    result r = bitmap->Construct(Dimension(image.width(), image.height()), format);
    if (IsFailed(r)) {
        delete bitmap;
        SetLastResult(r);
        return nullptr;
    }
    ImageOf(*bitmap) = image.convertToFormat(QImageFormat(format));
    SetLastResult(E_SUCCESS);
    return bitmap;
}

Canvas* NewCanvasN(QImage& target, const QRect& area, std::function<void()> onShow) {
    auto* canvas = new Canvas;
    Canvas::Impl* impl = canvas->GetImpl();
    impl->target = &target;
    impl->area = area;
    impl->bounds = Rectangle(area.x(), area.y(), area.width(), area.height());
    impl->onShow = std::move(onShow);
    return canvas;
}

QString DrawableText(const wchar_t* units, int length) {
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i) {
        auto u = static_cast<char16_t>(units[i]);
        if (u < 0x20) {
            continue;
        }
        s.append(u >= 0x7F && u <= 0x9F ? QChar(u' ') : QChar(u));
    }
    return s;
}

}  // namespace host
