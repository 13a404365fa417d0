#include "Osp/Graphics/Font.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <limits>
#include <map>
#include <string>

#include "host/GraphicsHost.h"
#include "host/HostPaths.h"

namespace Osp::Graphics {

using namespace Osp::Base;

namespace {

// Units below this (Latin, Greek, Cyrillic) are measured from the advance table of a monospaced font.
constexpr char16_t kFastUnits = 0x0590;

struct LoadedFile {
    qint64 size = 0;
    QDateTime modified;
    QString family;
};

// Font files already handed to Qt, by host path: loading the same file again at every size change would
// add a new copy to Qt's database each time.
std::map<std::string, LoadedFile>& LoadedFiles() {
    static std::map<std::string, LoadedFile> files;
    return files;
}

result ReadFontFile(const QString& path, qint64 size, QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return E_FILE_NOT_FOUND;
    }
    data = file.read(size + 1);
    // A file that changed size since it was checked is not trusted to be the font that was checked.
    return data.size() == size ? E_SUCCESS : E_UNSUPPORTED_FORMAT;
}

result LoadFamily(const std::wstring& virtualPath, QString& family) {
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
    if (info.size() <= 0 || info.size() > Font::kMaxFileBytes) {
        return E_UNSUPPORTED_FORMAT;
    }
    auto& files = LoadedFiles();
    auto it = files.find(hostPath);
    if (it != files.end() && it->second.size == info.size() && it->second.modified == info.lastModified()) {
        family = it->second.family;
        return E_SUCCESS;
    }
    QByteArray data;
    r = ReadFontFile(path, info.size(), data);
    if (IsFailed(r)) {
        return r;
    }
    int id = QFontDatabase::addApplicationFontFromData(data);
    QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        return E_UNSUPPORTED_FORMAT;
    }
    family = families.first();
    files[hostPath] = LoadedFile{info.size(), info.lastModified(), family};
    return E_SUCCESS;
}

bool IsAcceptedStyle(int style) {
    return style != 0 && (style & ~(FONT_STYLE_PLAIN | FONT_STYLE_BOLD | FONT_STYLE_ITALIC)) == 0;
}

void Fill(Font::Impl& impl, const QString& family, int style, int size) {
    QFont font(family);
    font.setPixelSize(size);
    font.setBold((style & FONT_STYLE_BOLD) != 0);
    font.setItalic((style & FONT_STYLE_ITALIC) != 0);
    // Full hinting gives whole-pixel advances, so that the sum of the characters' widths is the width
    // of the drawn text and a monospaced text lines up in exact columns.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    QFontMetrics metrics(font);
    impl.font = font;
    impl.style = style;
    impl.size = size;
    impl.ascent = metrics.ascent();
    impl.descent = metrics.descent();
    impl.fixedPitch = QFontInfo(font).fixedPitch();
    impl.advances.assign(kFastUnits, -1);
}

bool IsFastUnit(wchar_t u) {
    return u >= 0 && u < kFastUnits && !(u >= 0x0300 && u <= 0x036F);
}

int Advance(const Font::Impl& impl, wchar_t u) {
    short& cached = impl.advances[static_cast<size_t>(u)];
    if (cached < 0) {
        QString drawn = host::DrawableText(&u, 1);
        cached =
            drawn.isEmpty() ? 0 : static_cast<short>(QFontMetrics(impl.font).horizontalAdvance(drawn[0]));
    }
    return cached;
}

// The width from the advance table, or -1 when a unit needs Qt's layout (combining marks, scripts that
// are shaped, proportional fonts whose pairs may be kerned).
long long TableWidth(const Font::Impl& impl, const wchar_t* text, int length) {
    if (!impl.fixedPitch) {
        return -1;
    }
    long long width = 0;
    for (int i = 0; i < length; ++i) {
        if (!IsFastUnit(text[i])) {
            return -1;
        }
        width += Advance(impl, text[i]);
    }
    return width;
}

}  // namespace

Font::Font() : impl_(std::make_unique<Impl>()) {}

Font::~Font() = default;

result Font::Construct(int style, int size) {
    if (impl_->size != 0) {
        return E_INVALID_STATE;
    }
    if (!IsAcceptedStyle(style) || size < 1 || size > kMaxSize) {
        return E_INVALID_ARG;
    }
    Fill(*impl_, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), style, size);
    return E_SUCCESS;
}

result Font::Construct(const String& fontFilePath, int style, int size) {
    if (impl_->size != 0) {
        return E_INVALID_STATE;
    }
    if (!IsAcceptedStyle(style) || size < 1 || size > kMaxSize) {
        return E_INVALID_ARG;
    }
    QString family;
    result r = LoadFamily(fontFilePath.Units(), family);
    if (IsFailed(r)) {
        return r;
    }
    Fill(*impl_, family, style, size);
    return E_SUCCESS;
}

result Font::GetTextExtent(const String& text, int length, Dimension& extent) const {
    return GetTextExtent(text.GetPointer(), std::min(length, text.GetLength()), extent);
}

result Font::GetTextExtent(const wchar_t* text, int length, Dimension& extent) const {
    if (impl_->size == 0) {
        return E_INVALID_STATE;
    }
    if (text == nullptr || length < 0) {
        return E_INVALID_ARG;
    }
    long long width = TableWidth(*impl_, text, length);
    if (width < 0) {
        width = QFontMetrics(impl_->font).horizontalAdvance(host::DrawableText(text, length));
    }
    extent.width = static_cast<int>(std::min<long long>(width, std::numeric_limits<int>::max()));
    extent.height = GetMaxHeight();
    return E_SUCCESS;
}

int Font::GetMaxHeight() const {
    return impl_->ascent + impl_->descent;
}

int Font::GetAscender() const {
    return impl_->ascent;
}

int Font::GetDescender() const {
    return impl_->descent;
}

int Font::GetSize() const {
    return impl_->size;
}

int Font::GetStyle() const {
    return impl_->style;
}

}  // namespace Osp::Graphics
