#pragma once
// An image in memory: made empty of a size, decoded from a file (Osp::Media::Image::DecodeN) or drawn
// into through a Canvas. Used on the user-interface thread; a bitmap that no canvas draws into may be
// read from any thread. Not copyable: the caller that made it owns it.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Graphics/Dimension.h"

namespace Osp::Graphics {

enum BitmapPixelFormat {
    BITMAP_PIXEL_FORMAT_RGB565 = 1,
    BITMAP_PIXEL_FORMAT_ARGB8888,
    BITMAP_PIXEL_FORMAT_R8G8B8A8,
};

class Bitmap : public Osp::Base::Object {
public:
    // The largest bitmap accepted, in pixels; bigger requests fail rather than exhaust memory.
    static constexpr long long kMaxPixels = 4096LL * 4096LL;

    Bitmap();
    ~Bitmap() override;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // A transparent bitmap of the size. E_INVALID_ARG for a size that is not positive or too big,
    // E_OUT_OF_MEMORY when the pixels cannot be allocated, E_INVALID_STATE when already constructed.
    Osp::Base::result Construct(const Dimension& size, BitmapPixelFormat format);

    // Resizes the picture to the new size (smoothly). E_INVALID_ARG for a bad size.
    Osp::Base::result Scale(const Dimension& size);

    int GetWidth() const;   // 0 before Construct
    int GetHeight() const;  // 0 before Construct
    BitmapPixelFormat GetPixelColorFormat() const { return format_; }

    struct Impl;
    Impl* GetImpl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
    BitmapPixelFormat format_ = BITMAP_PIXEL_FORMAT_ARGB8888;
};

}  // namespace Osp::Graphics
