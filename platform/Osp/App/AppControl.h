#pragma once
// Starts another application of the phone: the picture viewer, the video and music players and the web
// browser. Made by AppManager::FindAppControlN; used on the user-interface thread.
//
// Start takes a list of Osp::Base::String arguments (the list and its strings stay the caller's):
// - the image, video and audio controls read "path:" followed by a virtual path ("path:/Media/x.jpg");
//   a "type:" argument ("type:image") may accompany it and is not needed here;
// - the browser reads "url:" followed by a web address ("url:https://...") or by "file://" and a virtual
//   path ("url:file:///Res/Help/main_form.html"); the path is taken as it is, without %-decoding.
// Start hands the file or address to the desktop's opener and returns at once; no answer comes back.
// Results: E_SUCCESS; E_INVALID_ARG when the needed argument is missing or the address is not http,
// https or file; E_ILLEGAL_ACCESS for a path outside the phone's folders; E_FILE_NOT_FOUND for a file
// that does not exist.

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::App {

inline constexpr const wchar_t* APPCONTROL_IMAGE = L"osp.appcontrol.IMAGE";
inline constexpr const wchar_t* APPCONTROL_VIDEO = L"osp.appcontrol.VIDEO";
inline constexpr const wchar_t* APPCONTROL_AUDIO = L"osp.appcontrol.AUDIO";
inline constexpr const wchar_t* APPCONTROL_BROWSER = L"osp.appcontrol.BROWSER";
inline constexpr const wchar_t* OPERATION_VIEW = L"osp.appcontrol.operation.VIEW";
inline constexpr const wchar_t* OPERATION_PLAY = L"osp.appcontrol.operation.PLAY";
// The browser's default operation is the empty one.
inline constexpr const wchar_t* OPERATION_DEFAULT = L"";

class AppControl : public Osp::Base::Object {
public:
    ~AppControl() override;
    AppControl(const AppControl&) = delete;
    AppControl& operator=(const AppControl&) = delete;

    Osp::Base::result Start(const Osp::Base::Collection::IList* args);

    const Osp::Base::String& GetAppControlId() const { return appControlId_; }
    const Osp::Base::String& GetOperationId() const { return operationId_; }

private:
    friend class AppManager;
    AppControl(const Osp::Base::String& appControlId, const Osp::Base::String& operationId);

    Osp::Base::String appControlId_;
    Osp::Base::String operationId_;
};

}  // namespace Osp::App
