#pragma once
// Where started application controls go: the desktop's opener (xdg-open through Qt), or a test's
// recorder. User-interface thread.

#include <functional>
#include <string>
#include <vector>

namespace host {

struct AppControlLaunch {
    std::wstring appControlId;
    std::wstring operationId;
    std::vector<std::wstring> args;  // as Start was given them
    std::string url;                 // what is opened: a file:// address of a host path, or a web address
};

using AppControlOpener = std::function<void(const AppControlLaunch&)>;

// Replaces the desktop opener; an empty function restores it.
void SetAppControlOpener(AppControlOpener opener);

// Hands the launch to the opener; nothing is awaited.
void OpenAppControl(const AppControlLaunch& launch);

}  // namespace host
