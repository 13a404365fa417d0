#pragma once
// A size in pixels. Plain value; any thread.

namespace Osp::Graphics {

class Dimension {
public:
    constexpr Dimension() = default;
    constexpr Dimension(int width, int height) : width(width), height(height) {}

    void SetSize(int newWidth, int newHeight) {
        width = newWidth;
        height = newHeight;
    }

    constexpr bool operator==(const Dimension&) const = default;

    int width = 0;
    int height = 0;
};

}  // namespace Osp::Graphics
