#pragma once
// Finds the applications that other applications can start (AppControl). User-interface thread.

#include "Osp/App/AppControl.h"
#include "Osp/Base/String.h"

namespace Osp::App {

class AppManager {
public:
    // A new control that the caller owns, or null (last result E_INVALID_ARG) when no application
    // answers the pair. Known pairs: the image control with the view operation, the video and audio
    // controls with the play operation, and the browser with the default (empty) operation.
    static AppControl* FindAppControlN(const Osp::Base::String& appControlId,
                                       const Osp::Base::String& operationId);
};

}  // namespace Osp::App
