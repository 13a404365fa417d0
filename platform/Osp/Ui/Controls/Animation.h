#pragma once
// Plays a sequence of pictures (AnimationFrame elements of a list), each for its own time, a number of
// times over; after the last round it stops on the last picture. The pictures are scaled to fit the
// control. User-interface thread only.

#include <memory>

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Ui/Control.h"

namespace Osp::Ui::Controls {

enum AnimationStatus {
    ANIMATION_PLAYING,
    ANIMATION_STOPPED,
    ANIMATION_PAUSED,
};

class Animation : public Control {
public:
    Animation();
    ~Animation() override;

    // Copies the pictures of the frames. E_INVALID_ARG when the list is empty or holds anything but
    // frames with a bitmap and a positive duration.
    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect,
                                const Osp::Base::Collection::IList& animationFrames);
    // Starts from the first picture (or goes on after a pause).
    Osp::Base::result Play();
    Osp::Base::result Stop();
    Osp::Base::result Pause();
    // How many rounds a Play shows (1 or more).
    Osp::Base::result SetRepeatCount(int count);
    int GetRepeatCount() const;
    int GetCurrentRepeatedCount() const;
    int GetImageCount() const;
    AnimationStatus GetStatus() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
