#include "Osp/Graphics/Canvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "host/GraphicsHost.h"

namespace Osp::Graphics {

using namespace Osp::Base;

namespace {

constexpr int kDefaultFontSize = 20;

QColor ToQColor(const Color& c) {
    return QColor(c.GetRed(), c.GetGreen(), c.GetBlue(), c.GetAlpha());
}

QRect ToQRect(const Rectangle& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

// A painter on the canvas's pixels, clipped to the canvas and in its coordinates. Null before Construct.
class CanvasPainter {
public:
    explicit CanvasPainter(Canvas::Impl& impl) {
        if (impl.target != nullptr && painter_.begin(impl.target)) {
            painter_.setClipRect(impl.area);
            painter_.translate(impl.area.topLeft());
        }
    }
    bool IsActive() const { return painter_.isActive(); }
    QPainter* operator->() { return &painter_; }

private:
    QPainter painter_;
};

void UseDefaultFont(Canvas::Impl& impl) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(kDefaultFontSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    impl.font = font;
    impl.ascent = QFontMetrics(font).ascent();
    impl.hasFont = true;
}

}  // namespace

Canvas::Canvas() : impl_(std::make_unique<Impl>()) {}

Canvas::~Canvas() = default;

result Canvas::Construct(const Rectangle& bounds) {
    if (impl_->target != nullptr) {
        return E_INVALID_STATE;
    }
    if (bounds.width <= 0 || bounds.height <= 0 ||
        static_cast<long long>(bounds.width) * bounds.height > Bitmap::kMaxPixels) {
        return E_INVALID_ARG;
    }
    QImage buffer(bounds.width, bounds.height, QImage::Format_ARGB32_Premultiplied);
    if (buffer.isNull()) {
        return E_OUT_OF_MEMORY;
    }
    buffer.fill(Qt::transparent);
    impl_->ownBuffer = std::move(buffer);
    impl_->target = &impl_->ownBuffer;
    impl_->area = QRect(0, 0, bounds.width, bounds.height);
    impl_->bounds = bounds;
    return E_SUCCESS;
}

result Canvas::Construct(Bitmap& target) {
    if (impl_->target != nullptr) {
        return E_INVALID_STATE;
    }
    QImage& image = host::ImageOf(target);
    if (image.isNull()) {
        return E_INVALID_ARG;
    }
    impl_->target = &image;
    impl_->area = image.rect();
    impl_->bounds = Rectangle(0, 0, image.width(), image.height());
    return E_SUCCESS;
}

Rectangle Canvas::GetBounds() const {
    return impl_->bounds;
}

void Canvas::SetForegroundColor(const Color& color) {
    impl_->foreground = color;
}

Color Canvas::GetForegroundColor() const {
    return impl_->foreground;
}

void Canvas::SetBackgroundColor(const Color& color) {
    impl_->background = color;
}

Color Canvas::GetBackgroundColor() const {
    return impl_->background;
}

result Canvas::SetLineWidth(int width) {
    if (width < 1) {
        return E_OUT_OF_RANGE;
    }
    impl_->lineWidth = width;
    return E_SUCCESS;
}

int Canvas::GetLineWidth() const {
    return impl_->lineWidth;
}

result Canvas::SetFont(const Font& font) {
    if (font.GetSize() == 0) {
        return E_INVALID_ARG;
    }
    impl_->font = host::QFontOf(font);
    impl_->ascent = font.GetAscender();
    impl_->hasFont = true;
    return E_SUCCESS;
}

result Canvas::Clear() {
    return Clear(Rectangle(0, 0, impl_->area.width(), impl_->area.height()));
}

result Canvas::Clear(const Rectangle& area) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->fillRect(ToQRect(area), ToQColor(impl_->background));
    return E_SUCCESS;
}

result Canvas::FillRectangle(const Color& color, const Rectangle& area) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    painter->fillRect(ToQRect(area), ToQColor(color));
    return E_SUCCESS;
}

result Canvas::DrawRectangle(const Rectangle& area) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    if (area.IsEmpty()) {
        return E_SUCCESS;
    }
    // Four bands inside the area, so that the outline covers exactly the area's edge pixels.
    QColor color = ToQColor(impl_->foreground);
    int band = std::min({impl_->lineWidth, area.width, area.height});
    painter->fillRect(QRect(area.x, area.y, area.width, band), color);
    painter->fillRect(QRect(area.x, area.y + area.height - band, area.width, band), color);
    int innerHeight = area.height - 2 * band;
    if (innerHeight > 0) {
        painter->fillRect(QRect(area.x, area.y + band, band, innerHeight), color);
        painter->fillRect(QRect(area.x + area.width - band, area.y + band, band, innerHeight), color);
    }
    return E_SUCCESS;
}

result Canvas::DrawLine(const Point& from, const Point& to) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    painter->setPen(QPen(ToQColor(impl_->foreground), impl_->lineWidth));
    painter->drawLine(from.x, from.y, to.x, to.y);
    return E_SUCCESS;
}

result Canvas::DrawBitmap(const Point& topLeft, const Bitmap& bitmap) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    painter->drawImage(topLeft.x, topLeft.y, host::ImageOf(bitmap));
    return E_SUCCESS;
}

result Canvas::DrawBitmap(const Rectangle& area, const Bitmap& bitmap) {
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(ToQRect(area), host::ImageOf(bitmap));
    return E_SUCCESS;
}

result Canvas::DrawText(const Point& topLeft, const String& text) {
    return DrawText(topLeft, text, text.GetLength());
}

result Canvas::DrawText(const Point& topLeft, const String& text, int length) {
    if (length < 0) {
        return E_INVALID_ARG;
    }
    CanvasPainter painter(*impl_);
    if (!painter.IsActive()) {
        return E_INVALID_STATE;
    }
    if (!impl_->hasFont) {
        UseDefaultFont(*impl_);
    }
    painter->setFont(impl_->font);
    painter->setPen(ToQColor(impl_->foreground));
    painter->drawText(topLeft.x, topLeft.y + impl_->ascent,
                      host::DrawableText(text.GetPointer(), std::min(length, text.GetLength())));
    return E_SUCCESS;
}

result Canvas::Show() {
    if (impl_->target == nullptr) {
        return E_INVALID_STATE;
    }
    if (impl_->onShow) {
        impl_->onShow();
    }
    return E_SUCCESS;
}

}  // namespace Osp::Graphics
