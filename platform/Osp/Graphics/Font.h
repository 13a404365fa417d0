#pragma once
// A font of one style and pixel size, from the system or from a TrueType file. Used on the
// user-interface thread. Text is measured exactly as Canvas::DrawText draws it: glyph advances are whole
// pixels, and control characters below U+0020 take no room and are not drawn.
//
// Results of Construct: E_SUCCESS; E_INVALID_ARG for a size outside 1 to kMaxSize or a style without a
// known bit; E_FILE_NOT_FOUND when the file is missing; E_ILLEGAL_ACCESS for a path outside the phone's
// folders; E_UNSUPPORTED_FORMAT for a file that is not a font or is larger than kMaxFileBytes;
// E_INVALID_STATE when the font is already constructed.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Graphics/Dimension.h"

namespace Osp::Graphics {

enum FontStyle {
    FONT_STYLE_PLAIN = 0x0001,
    FONT_STYLE_BOLD = 0x0002,
    FONT_STYLE_ITALIC = 0x0004,
};

class Font : public Osp::Base::Object {
public:
    static constexpr int kMaxSize = 512;
    static constexpr long long kMaxFileBytes = 32LL * 1024 * 1024;

    Font();
    ~Font() override;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The system's own font.
    Osp::Base::result Construct(int style, int size);
    // A TrueType or OpenType file by its virtual path, such as "/Res/DejaVuSansMono.ttf".
    Osp::Base::result Construct(const Osp::Base::String& fontFilePath, int style, int size);

    // The width and height that the first length units of text take when drawn (length is clamped to
    // the text). The height is GetMaxHeight(). E_INVALID_STATE before Construct.
    Osp::Base::result GetTextExtent(const Osp::Base::String& text, int length, Dimension& extent) const;
    Osp::Base::result GetTextExtent(const wchar_t* text, int length, Dimension& extent) const;

    int GetMaxHeight() const;  // ascender + descender: the height of one line of text
    int GetAscender() const;   // pixels above the baseline
    int GetDescender() const;  // pixels below the baseline, as a positive number
    int GetSize() const;
    int GetStyle() const;

    struct Impl;
    Impl* GetImpl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Graphics
