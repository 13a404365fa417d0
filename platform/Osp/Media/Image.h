#pragma once
// Decodes image files (PNG, JPEG, GIF, BMP) into bitmaps. Any thread; an Image holds no state.
//
// DecodeN returns a new bitmap that the caller owns, or null with the last result set: E_FILE_NOT_FOUND
// for a missing file; E_ILLEGAL_ACCESS for a path outside the phone's folders; E_UNSUPPORTED_FORMAT for a
// file that is no image of those formats; E_INVALID_FORMAT for a damaged one; E_OUT_OF_RANGE for a file
// larger than kMaxFileBytes or a picture larger than Bitmap::kMaxPixels; E_INVALID_ARG for a bad
// destination size or pixel format.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Graphics/Bitmap.h"

namespace Osp::Media {

class Image : public Osp::Base::Object {
public:
    static constexpr long long kMaxFileBytes = 32LL * 1024 * 1024;

    Osp::Base::result Construct() { return Osp::Base::E_SUCCESS; }

    Osp::Graphics::Bitmap* DecodeN(const Osp::Base::String& path,
                                   Osp::Graphics::BitmapPixelFormat format) const;
    // The picture scaled to the destination size.
    Osp::Graphics::Bitmap* DecodeN(const Osp::Base::String& path, Osp::Graphics::BitmapPixelFormat format,
                                   int destWidth, int destHeight) const;
};

}  // namespace Osp::Media
