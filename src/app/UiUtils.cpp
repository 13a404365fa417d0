#include "app/UiUtils.h"

#include <memory>
#include <vector>

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Media/Image.h"
#include "Osp/Ui/Container.h"
#include "Osp/Ui/Controls/AnimationFrame.h"

namespace {

constexpr int kMaxPathLength = 128;

}  // namespace

Osp::Ui::Controls::Animation* CreateAnimation(const wchar_t* pathFormat, int frames, int frameMs,
                                              const Osp::Graphics::Rectangle& rect, int repeat) {
    Osp::Media::Image decoder;
    decoder.Construct();
    std::vector<std::unique_ptr<Osp::Graphics::Bitmap>> bitmaps;
    std::vector<std::unique_ptr<Osp::Ui::Controls::AnimationFrame>> pictures;
    Osp::Base::Collection::ArrayList list;
    list.Construct(frames > 0 ? frames : 1);
    for (int i = 0; i < frames; ++i) {
        Osp::Base::String path;
        path.Format(kMaxPathLength, pathFormat, i);
        std::unique_ptr<Osp::Graphics::Bitmap> bitmap(
            decoder.DecodeN(path, Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
        if (bitmap == nullptr) {
            continue;
        }
        pictures.push_back(std::make_unique<Osp::Ui::Controls::AnimationFrame>(*bitmap, frameMs));
        list.Add(pictures.back().get());
        bitmaps.push_back(std::move(bitmap));
    }
    auto animation = std::make_unique<Osp::Ui::Controls::Animation>();
    // The animation copies the pictures: the frames and bitmaps go when this function returns.
    if (animation->Construct(rect, list) != Osp::Base::E_SUCCESS) {
        return nullptr;
    }
    animation->SetRepeatCount(repeat);
    return animation.release();
}

Osp::Graphics::Point ControlToScreen(const Osp::Ui::Controls::Form* form, const Osp::Ui::Control& control,
                                     const Osp::Graphics::Point& point) {
    Osp::Graphics::Point result = point + control.GetPosition();
    for (const Osp::Ui::Container* parent = control.GetParent(); parent != nullptr;
         parent = parent->GetParent()) {
        result += parent->GetPosition();
    }
    if (form != nullptr) {
        result += form->GetClientAreaBounds().GetTopLeft();
    }
    return result;
}
