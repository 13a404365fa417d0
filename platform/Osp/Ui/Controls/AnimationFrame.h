#pragma once
// One picture of an animation and how long it shows, in milliseconds. The frame refers to the bitmap
// (not owned); Animation::Construct copies the pictures, so bitmaps and frames may go afterwards.

#include "Osp/Base/Object.h"
#include "Osp/Graphics/Bitmap.h"

namespace Osp::Ui::Controls {

class AnimationFrame : public Osp::Base::Object {
public:
    AnimationFrame() = default;
    AnimationFrame(const Osp::Graphics::Bitmap& frame, long duration) : frame_(&frame), duration_(duration) {}

    void SetFrame(const Osp::Graphics::Bitmap& frame) { frame_ = &frame; }
    const Osp::Graphics::Bitmap* GetFrame() const { return frame_; }
    void SetFrameDuration(long duration) { duration_ = duration; }
    long GetFrameDuration() const { return duration_; }

private:
    const Osp::Graphics::Bitmap* frame_ = nullptr;
    long duration_ = 0;
};

}  // namespace Osp::Ui::Controls
