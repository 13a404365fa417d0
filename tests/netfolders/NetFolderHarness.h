#pragma once
// What the tests of network folders on the phone's screen share: typing into the fields of a form,
// reading a folder's section of the settings file, which icon an item of the main list shows, and
// waiting for the screen to reach a state.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../mainform/MainFormHarness.h"
#include "../platform/LoopUntil.h"
#include "Osp/Media/Image.h"
#include "host/GraphicsHost.h"
#include "host/ui/ListImpl.h"

namespace netfolders {

using Osp::Base::String;
using testsupport::UiDriver;

// A fresh phone without a memory card whose user has already heard that no desktop keyring runs, for
// tests that save network passwords.
struct NetPhone : PhoneRoot {
    NetPhone() : PhoneRoot(NO_CARD) { KeyringAbsenceAlreadyTold(); }
};

// Types text into a field through its keypad and confirms it.
inline void Fill(const UiDriver& ui, const wchar_t* id, const std::wstring& text) {
    ui.Tap(id);
    ASSERT_TRUE(ui.TypeText(text)) << testing::PrintToString(std::wstring(id));
    ASSERT_TRUE(ui.ConfirmKeypad()) << testing::PrintToString(std::wstring(id));
}

// A string value of the settings file; "(absent)" when the key is not there.
inline std::wstring StoredValue(const std::wstring& section, const std::wstring& key) {
    Osp::Io::Registry reg;
    if (reg.Construct(String(L"/Home/RF.reg"), false) != Osp::Base::E_SUCCESS) {
        return L"(no file)";
    }
    String value;
    if (reg.GetValue(String(section), String(key), value) != Osp::Base::E_SUCCESS) {
        return L"(absent)";
    }
    return value.Units();
}

// Whether the item of the list shows the image at the path below "/Res/".
inline bool ItemIconIs(const Osp::Ui::Controls::List& list, int index, const wchar_t* path) {
    Osp::Media::Image decoder;
    decoder.Construct();
    std::unique_ptr<Osp::Graphics::Bitmap> icon(
        decoder.DecodeN(String(path), Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
    const auto& items = list.GetListImpl().items;
    return icon != nullptr && index >= 0 && index < static_cast<int>(items.size()) &&
           items[static_cast<size_t>(index)].bitmap1 == host::ImageOf(*icon);
}

// Runs the event loop until the condition holds; false after the time.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000) {
    return LoopUntil(done, timeoutMs);
}

// Saves a screenshot into $CORVANE_SCREENSHOT_DIR when that is set.
inline void Screenshot(const UiDriver& ui, const std::string& name) {
    if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
        EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/" + name + ".png"));
    }
}

}  // namespace netfolders
