// Help pages and web pages open in the phone's browser with the argument the browser reads.

#include <gtest/gtest.h>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "host/AppControlOpener.h"

namespace {

TEST(HelpTest, PagesOpenInTheBrowser) {
    PhoneRoot root;
    std::vector<host::AppControlLaunch> launches;
    host::SetAppControlOpener([&](const host::AppControlLaunch& launch) { launches.push_back(launch); });
    EXPECT_TRUE(CorvaneLoop::Run([] {
        Corvane* app = Corvane::GetMyInstance();
        app->ShowHelp(L"main_form.html");
        app->ShowWebPage(L"https://example.org/corvane");
        // An address the browser does not take shows nothing.
        app->ShowWebPage(L"gopher://example.org/");
        CorvaneLoop::Quit();
    }));
    host::SetAppControlOpener(nullptr);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].args, std::vector<std::wstring>{L"url:file:///Res/Help/main_form.html"});
    EXPECT_EQ(launches[1].args, std::vector<std::wstring>{L"url:https://example.org/corvane"});
}

}  // namespace
