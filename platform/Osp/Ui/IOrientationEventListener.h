#pragma once
// Told when a form turns between portrait and landscape, on the user-interface thread, after the form
// and the controls of its layout have taken their new sizes and places.

#include "Osp/Ui/Orientation.h"

namespace Osp::Ui {

class Control;

class IOrientationEventListener {
public:
    virtual ~IOrientationEventListener() = default;
    virtual void OnOrientationChanged(const Control& source, OrientationStatus orientationStatus) = 0;
};

}  // namespace Osp::Ui
