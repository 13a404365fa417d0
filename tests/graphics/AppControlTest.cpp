#include "Osp/App/AppControl.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Osp/App/AppManager.h"
#include "TempPhone.h"
#include "testsupport/AppControlRecorder.h"

using namespace Osp::Base;
using namespace Osp::App;

namespace {

std::string FileUrl(const std::wstring& virtualPath) {
    return QUrl::fromLocalFile(TempPhone::HostPath(virtualPath)).toEncoded().toStdString();
}

// Starts the control with the arguments as the system passes them: a list of strings it keeps.
result Start(const wchar_t* control, const wchar_t* operation, const std::vector<std::wstring>& args) {
    std::unique_ptr<AppControl> appControl(AppManager::FindAppControlN(String(control), String(operation)));
    EXPECT_NE(appControl, nullptr);
    if (!appControl) {
        return E_FAILURE;
    }
    Collection::ArrayList list;
    list.Construct(10);
    std::vector<std::unique_ptr<String>> strings;
    for (const std::wstring& arg : args) {
        strings.push_back(std::make_unique<String>(arg));
        list.Add(strings.back().get());
    }
    return appControl->Start(&list);
}

}  // namespace

TEST(AppControlTest, StartedControlsReachTheOpenerWithTheirArgumentsAndHostAddress) {
    TempPhone phone;
    ASSERT_TRUE(TempPhone::Write(L"/Media/Images/cat.jpg", "jpeg"));
    ASSERT_TRUE(TempPhone::Write(L"/Home/Cache/My clip #1.mp4", "mp4"));
    ASSERT_TRUE(TempPhone::Write(L"/Media/Sounds/song.mp3", "mp3"));
    ASSERT_TRUE(TempPhone::Write(L"/Media/page 100%.html", "<html></html>"));
    // A name of old media that is not UTF-8: its bytes go into the address as they are.
    const std::wstring oldName = L"/Media/Images/\xDCFF\xDCFE.jpg";
    std::string hostPath;
    ASSERT_EQ(host::MapPath(oldName, hostPath), E_SUCCESS);
    std::ofstream(hostPath, std::ios::binary) << "jpeg";
    struct Case {
        const wchar_t* control;
        const wchar_t* operation;
        std::vector<std::wstring> args;
        std::string url;
    } cases[] = {
        {L"osp.appcontrol.IMAGE",
         L"osp.appcontrol.operation.VIEW",
         {L"path:/Media/Images/cat.jpg", L"type:image"},
         FileUrl(L"/Media/Images/cat.jpg")},
        {L"osp.appcontrol.VIDEO",
         L"osp.appcontrol.operation.PLAY",
         {L"path:/Home/Cache/My clip #1.mp4", L"type:video"},
         FileUrl(L"/Home/Cache/My clip #1.mp4")},
        {L"osp.appcontrol.AUDIO",
         L"osp.appcontrol.operation.PLAY",
         {L"path:/Media/Sounds/song.mp3", L"type:audio"},
         FileUrl(L"/Media/Sounds/song.mp3")},
        {L"osp.appcontrol.BROWSER",
         L"",
         {L"url:file:///Res/Help/main_form.html"},
         FileUrl(L"/Res/Help/main_form.html")},
        {L"osp.appcontrol.BROWSER",
         L"",
         {L"url:file:///Media/page 100%.html"},
         FileUrl(L"/Media/page 100%.html")},
        {L"osp.appcontrol.IMAGE",
         L"osp.appcontrol.operation.VIEW",
         {L"path:" + oldName, L"type:image"},
         "file://" + hostPath.substr(0, hostPath.rfind('/')) + "/%FF%FE.jpg"},
        {L"osp.appcontrol.BROWSER",
         L"",
         {L"url:https://example.org/corvane/support"},
         "https://example.org/corvane/support"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        testsupport::AppControlRecorder recorder;
        ASSERT_EQ(Start(c.control, c.operation, c.args), E_SUCCESS);
        ASSERT_EQ(recorder.Launches().size(), 1u);
        const host::AppControlLaunch& launch = recorder.Launches()[0];
        EXPECT_EQ(launch.appControlId, c.control);
        EXPECT_EQ(launch.operationId, c.operation);
        EXPECT_EQ(launch.args, c.args);
        EXPECT_EQ(launch.url, c.url);
    }
}

// Arguments come from file names and settings: nothing outside the phone's folders and no scheme but
// the web's may reach the desktop's opener.
TEST(AppControlTest, RefusedArgumentsOpenNothing) {
    TempPhone phone;
    struct Case {
        const wchar_t* control;
        const wchar_t* operation;
        std::vector<std::wstring> args;
        result expected;
    } cases[] = {
        {L"osp.appcontrol.IMAGE",
         L"osp.appcontrol.operation.VIEW",
         {L"path:/Media/none.jpg", L"type:image"},
         E_FILE_NOT_FOUND},
        {L"osp.appcontrol.IMAGE",
         L"osp.appcontrol.operation.VIEW",
         {L"path:/Media/../../../etc/passwd"},
         E_ILLEGAL_ACCESS},
        {L"osp.appcontrol.AUDIO", L"osp.appcontrol.operation.PLAY", {L"type:audio"}, E_INVALID_ARG},
        {L"osp.appcontrol.VIDEO", L"osp.appcontrol.operation.PLAY", {}, E_INVALID_ARG},
        {L"osp.appcontrol.BROWSER", L"", {L"url:javascript:alert(1)"}, E_INVALID_ARG},
        {L"osp.appcontrol.BROWSER", L"", {L"url:smb://server/share"}, E_INVALID_ARG},
        {L"osp.appcontrol.BROWSER", L"", {L"url:http://"}, E_INVALID_ARG},
        {L"osp.appcontrol.BROWSER", L"", {L"url:file:///etc/passwd"}, E_ILLEGAL_ACCESS},
        {L"osp.appcontrol.BROWSER", L"", {L"path:/Res/Help/main_form.html"}, E_INVALID_ARG},
    };
    testsupport::AppControlRecorder recorder;
    for (const Case& c : cases) {
        EXPECT_EQ(Start(c.control, c.operation, c.args), c.expected);
    }
    std::unique_ptr<AppControl> image(
        AppManager::FindAppControlN(String(APPCONTROL_IMAGE), String(OPERATION_VIEW)));
    EXPECT_EQ(image->Start(nullptr), E_INVALID_ARG);
    EXPECT_TRUE(recorder.Launches().empty());
}

TEST(AppControlTest, OnlyKnownControlAndOperationPairsAreFound) {
    struct Case {
        const wchar_t* control;
        const wchar_t* operation;
        bool found;
    } cases[] = {
        {L"osp.appcontrol.IMAGE", L"osp.appcontrol.operation.VIEW", true},
        {L"osp.appcontrol.VIDEO", L"osp.appcontrol.operation.PLAY", true},
        {L"osp.appcontrol.AUDIO", L"osp.appcontrol.operation.PLAY", true},
        {L"osp.appcontrol.BROWSER", L"", true},
        {L"osp.appcontrol.IMAGE", L"osp.appcontrol.operation.PLAY", false},
        {L"osp.appcontrol.CAMERA", L"osp.appcontrol.operation.VIEW", false},
        {L"", L"", false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<AppControl> control(
            AppManager::FindAppControlN(String(c.control), String(c.operation)));
        EXPECT_EQ(control != nullptr, c.found) << QString::fromWCharArray(c.control).toStdString();
        EXPECT_EQ(GetLastResult(), c.found ? E_SUCCESS : E_INVALID_ARG);
    }
}
