#include "Osp/App/AppManager.h"

#include <string_view>

namespace Osp::App {

using namespace Osp::Base;

namespace {

struct KnownControl {
    std::wstring_view appControlId;
    std::wstring_view operationId;
};

constexpr KnownControl kKnownControls[] = {
    {APPCONTROL_IMAGE, OPERATION_VIEW},
    {APPCONTROL_VIDEO, OPERATION_PLAY},
    {APPCONTROL_AUDIO, OPERATION_PLAY},
    {APPCONTROL_BROWSER, OPERATION_DEFAULT},
};

}  // namespace

AppControl* AppManager::FindAppControlN(const String& appControlId, const String& operationId) {
    for (const KnownControl& known : kKnownControls) {
        if (appControlId.Units() == known.appControlId && operationId.Units() == known.operationId) {
            SetLastResult(E_SUCCESS);
            return new AppControl(appControlId, operationId);
        }
    }
    SetLastResult(E_INVALID_ARG);
    return nullptr;
}

}  // namespace Osp::App
