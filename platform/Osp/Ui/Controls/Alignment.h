#pragma once
// Where a text sits in its area.

namespace Osp::Ui::Controls {

enum HorizontalAlignment {
    ALIGNMENT_LEFT,
    ALIGNMENT_CENTER,
    ALIGNMENT_RIGHT,
};

enum VerticalAlignment {
    ALIGNMENT_TOP,
    ALIGNMENT_MIDDLE,
    ALIGNMENT_BOTTOM,
};

}  // namespace Osp::Ui::Controls
