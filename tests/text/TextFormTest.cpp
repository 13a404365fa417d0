// The text viewer on real files inside a running application: opening and closing, the boxes it shows,
// encodings, wrapping, scrolling, go to and details. Screenshots go to $CORVANE_SHOTS when it is set.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include <QColor>
#include <QImage>
#include <QString>
#include <string>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Frame.h"
#include "app/Corvane.h"
#include "app/MainForm.h"
#include "host/HostPaths.h"
#include "host/SamplePhone.h"
#include "testsupport/UiDriver.h"
#include "text/TextForm.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::MSGBOX_STYLE_NONE;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;

const char kCyrillic[] =
    "\xd0\x9c\xd0\xbe\xd1\x80\xd0\xbe\xd0\xb7 \xd0\xb8 \xd1\x81\xd0\xbe\xd0\xbb\xd0\xbd\xd1\x86\xd0\xb5; "
    "\xd0\xb4\xd0\xb5\xd0\xbd\xd1\x8c \xd1\x87\xd1\x83\xd0\xb4\xd0\xb5\xd1\x81\xd0\xbd\xd1\x8b\xd0\xb9!\n";

class TextFormTest : public ::testing::Test {
protected:
    void Run(const std::function<void(testsupport::UiDriver&)>& body) {
        ASSERT_TRUE(CorvaneLoop::Run(
            [&] {
                {
                    testsupport::UiDriver ui;
                    body(ui);
                }
                CorvaneLoop::Quit();
            },
            60000));
    }

    // Opens the viewer on a file of the private folder; null when it did not open.
    static TextForm* Open(testsupport::UiDriver& ui, const std::string& name) {
        const std::wstring path = L"/Home/" + std::wstring(name.begin(), name.end());
        Corvane::GetMyInstance()->OpenTextForm(path, path, 1234, Osp::Base::DateTime());
        ui.Pump(0);
        return dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm());
    }

    static void Choose(testsupport::UiDriver& ui, std::initializer_list<const wchar_t*> path) {
        ui.PressOptionKey();
        ui.Pump(0);
        for (const wchar_t* text : path) {
            ASSERT_TRUE(ui.ChooseMenuItem(text));
            ui.Pump(0);
        }
    }

    static void Shot(testsupport::UiDriver& ui, const char* name) {
        if (const char* dir = std::getenv("CORVANE_SHOTS")) {
            ui.Pump(50);
            ui.SaveScreenshot(std::string(dir) + "/" + name + ".png");
        }
    }

    static int Lines(const TextForm& form) { return static_cast<int>(form.GetWrap().GetLineCount()); }

    // The window's text, as wide characters to compare with.
    static std::wstring Text(const TextForm& form) {
        return std::wstring(form.GetText().begin(), form.GetText().end());
    }

    // The scroll position of the bottom: the last line 40 pixels above the text area's lower edge.
    static int Bottom(const TextForm& form) {
        return form.GetWrap().GetBounds().height -
               (form.GetClientAreaBounds().height - 2 * TextForm::kMarginY) + 40;
    }

    PhoneRoot root;
};

// UTF-8 without a mark used to open as Latin-1 and show mojibake until the user chose UTF-8.
TEST_F(TextFormTest, CyrillicUtf8WithoutMarkIsDetectedAndTheChoiceWinsAndCloseGoesBack) {
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += kCyrillic;
    }
    root.Write("Home/ru.txt", text);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "ru.txt");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->GetEncoding(), ENCODING_UTF8);
        EXPECT_EQ(Text(*form).substr(0, 5), L"\x41c\x43e\x440\x43e\x437");
        Choose(ui, {L"Details"});
        EXPECT_EQ(ui.TextOf(L"IDC_ENCODING"), L"UTF-8 (detected)");
        Shot(ui, "cyrillic-details");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);

        Choose(ui, {L"Encoding", L"ASCII / Latin-1"});
        EXPECT_EQ(form->GetEncoding(), ENCODING_LATIN1);
        EXPECT_EQ(Text(*form).substr(0, 2), L"\xD0\x9C");
        Choose(ui, {L"Details"});
        EXPECT_EQ(ui.TextOf(L"IDC_ENCODING"), L"ASCII / Latin-1 (chosen)");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);
        Choose(ui, {L"Encoding", L"UTF-8"});
        Choose(ui, {L"Word wrap", L"On"});
        Shot(ui, "cyrillic-utf8");

        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        EXPECT_EQ(dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
        EXPECT_EQ(ui.GetFrame().GetCurrentForm(),
                  static_cast<Osp::Ui::Controls::Form*>(Corvane::GetMyInstance()->GetMainForm()));
    });
}

// The sample phone's poem is what a new user opens first.
TEST_F(TextFormTest, SamplePoemOpensAsUtf8) {
    host::SetDataRoot(root.Host("sample"));
    host::PrepareDataRoot(host::SampleOptions());
    Run([&](testsupport::UiDriver& ui) {
        const std::wstring path = L"/Media/Others/Poem (Cyrillic, UTF-8).txt";
        Corvane::GetMyInstance()->OpenTextForm(path, path, 1234, Osp::Base::DateTime());
        ui.Pump(0);
        auto* form = dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->GetEncoding(), ENCODING_UTF8);
        EXPECT_EQ(Text(*form).substr(0, 6), L"\x41c\x43e\x440\x43e\x437 ");
        Shot(ui, "sample-poem");
    });
}

// The text used to touch the screen's edges; it keeps a margin on every side, also wrapped.
TEST_F(TextFormTest, TextKeepsItsMargins) {
    root.Write("Home/xs.txt", std::string(3000, 'X'));
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "xs.txt");
        ASSERT_NE(form, nullptr);
        Choose(ui, {L"Word wrap", L"On"});
        ui.Pump(50);
        char pattern[] = "/tmp/corvane-margins-XXXXXX";
        const std::string dir = ::mkdtemp(pattern);
        ASSERT_TRUE(ui.SaveScreenshot(dir + "/shot.png"));
        const QImage image(QString::fromStdString(dir + "/shot.png"));
        std::filesystem::remove_all(dir);
        const Osp::Graphics::Rectangle client = form->GetClientAreaBounds();
        ASSERT_EQ(image.width(), client.width);
        int left = image.width();
        int right = -1;
        int top = image.height();
        for (int y = 0; y < client.height - 2 * TextForm::kMarginY; ++y) {
            for (int x = 0; x < image.width() - 8; ++x) {
                if (QColor(image.pixel(x, y)).lightness() < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                }
            }
        }
        // A few pixels of room on each side.
        EXPECT_GE(left, 4);
        EXPECT_GE(top, 4);
        EXPECT_LT(right, client.width - 4);
    });
}

TEST_F(TextFormTest, EmptyFileTellsAndDoesNotOpen) {
    root.Write("Home/empty.txt", "");
    Run([&](testsupport::UiDriver& ui) {
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        EXPECT_EQ(Open(ui, "empty.txt"), nullptr);
        EXPECT_EQ(Open(ui, "missing.txt"), nullptr);
        const std::vector<testsupport::ShownMessageBox> boxes = ui.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, L"");
        EXPECT_EQ(boxes[0].text, L"Empty file (size 0)");
        EXPECT_EQ(boxes[0].style, MSGBOX_STYLE_NONE);
        EXPECT_EQ(boxes[0].timeout, 3000u);
    });
}

// A long log: the warning about its size, the wrapping modes, and the top line kept through changes.
TEST_F(TextFormTest, LargeLogWrapsAndKeepsItsTopLine) {
    std::string log;
    for (int i = 0; log.size() <= 1536000; ++i) {
        log += "2026-12-10 12:00:" + std::to_string(10 + i % 50) + " INFO worker[" + std::to_string(i % 7) +
               "] request " + std::to_string(i) + " served in " + std::to_string(i % 97) +
               " ms from cache, next refresh scheduled\n";
    }
    root.Write("Home/server.log", log);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "server.log");
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(ui.MessageBoxes().empty());
        const int unwrapped = Lines(*form);
        EXPECT_LE(form->GetWrap().GetBounds().width, 4000);
        Shot(ui, "log-unwrapped");

        Choose(ui, {L"Word wrap", L"On"});
        EXPECT_GT(Lines(*form), unwrapped);
        EXPECT_LE(form->GetWrap().GetBounds().width, form->GetClientAreaBounds().width);
        Choose(ui, {L"Go to", L"Bottom"});
        const int lineHeight = form->GetWrap().GetLineHeight();
        EXPECT_EQ(form->GetVerticalScroll(), Bottom(*form));
        EXPECT_TRUE(form->GetSource().WindowAtEnd());
        EXPECT_EQ(Text(*form).substr(Text(*form).size() - 18), L"refresh scheduled\n");

        Choose(ui, {L"Go to", L"Top"});
        EXPECT_EQ(Text(*form).substr(0, 10), L"2026-12-10");
        form->SetScrollPos(Osp::Graphics::Point(0, 100 * lineHeight), true);
        Choose(ui, {L"Font size", L"Very Large"});
        EXPECT_EQ(form->GetFontSize(), 18);
        EXPECT_EQ(form->GetVerticalScroll(), 100 * form->GetWrap().GetLineHeight());
        Shot(ui, "log-wrapped-large");

        const int wrappedPortrait = Lines(*form);
        ui.PressKey(testsupport::PhoneKey::kRotate);
        ui.Pump(0);
        EXPECT_LT(Lines(*form), wrappedPortrait);
        Choose(ui, {L"Colors", L"Night mode"});
        EXPECT_EQ(form->GetColors(), 1334);
        Shot(ui, "log-landscape-night");
    });
}

TEST_F(TextFormTest, PageDownTopDragAndScrollBar) {
    std::string text;
    for (int i = 1; i <= 200; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    root.Write("Home/lines.txt", text);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "lines.txt");
        ASSERT_NE(form, nullptr);
        const int lineHeight = form->GetWrap().GetLineHeight();
        const int page = form->GetClientAreaBounds().height - 2 * TextForm::kMarginY - 38;
        int step = lineHeight * (page / lineHeight);
        if (page - step > form->GetFontSize()) {
            step += lineHeight;
        }
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(form->GetVerticalScroll(), step);
        EXPECT_TRUE(form->IsScrollBarVisible());
        Shot(ui, "lines-page-down");
        ui.Pump(TextForm::kScrollBarMs + 300);
        EXPECT_FALSE(form->IsScrollBarVisible());
        Choose(ui, {L"Go to", L"Top"});
        EXPECT_EQ(form->GetVerticalScroll(), 0);

        // A finger dragged up moves the text with it.
        ui.Drag(*form, Osp::Graphics::Point(240, 500), Osp::Graphics::Point(240, 300), 300, 200);
        ui.Pump(100);
        EXPECT_GE(form->GetVerticalScroll(), 150);
        EXPECT_TRUE(form->IsScrollBarVisible());
    });
}

TEST_F(TextFormTest, GoToChecksTheNumber) {
    std::string text;
    for (int i = 1; i <= 200; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    root.Write("Home/lines.txt", text);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "lines.txt");
        ASSERT_NE(form, nullptr);
        const int lineHeight = form->GetWrap().GetLineHeight();
        const int total = form->GetWrap().GetBounds().height / lineHeight;
        Choose(ui, {L"Go to", L"Line"});
        EXPECT_EQ(ui.TextOf(L"IDC_LABEL"), L"Go to line (1 to " + std::to_wstring(total) + L"):");
        EXPECT_EQ(ui.TextOf(L"IDC_EDIT"), L"1");
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"0");
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].title, L"Invalid position");
        EXPECT_EQ(ui.MessageBoxes()[0].text,
                  L"Please enter a number from 1 to " + std::to_wstring(total) + L".");
        EXPECT_EQ(ui.MessageBoxes()[0].style, MSGBOX_STYLE_OK);
        ASSERT_NE(ui.Find(L"IDC_EDIT"), nullptr);  // the popup stays open

        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"12");
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        EXPECT_EQ(form->GetVerticalScroll(), 11 * lineHeight);

        Choose(ui, {L"Go to", L"Percent"});
        EXPECT_EQ(ui.TextOf(L"IDC_LABEL"), L"Go to position (0% to 100%):");
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"50");
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        EXPECT_EQ(form->GetVerticalScroll(), form->GetWrap().GetBounds().height / 2);

        Choose(ui, {L"Details"});
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"lines.txt");
        EXPECT_EQ(ui.TextOf(L"IDC_LOCATION"), L"/Home");
        EXPECT_EQ(ui.TextOf(L"IDC_SIZE"), L"1.21 KB (1234 bytes)");
        EXPECT_EQ(ui.TextOf(L"IDC_DATE"), L"");
        EXPECT_EQ(ui.TextOf(L"IDC_POS"), L"" + std::to_wstring(form->GetVerticalScroll() / lineHeight + 1) +
                                             L" of total " + std::to_wstring(total) + L" lines");
        Shot(ui, "details");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);
        EXPECT_EQ(ui.Find(L"IDC_POS"), nullptr);
    });
}

// Writes text at a byte offset of a file, leaving any gap before it as a hole that reads as NUL bytes.
void WriteAt(const std::string& hostPath, std::uint64_t offset, const std::string& text) {
    std::fstream file(hostPath, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file << text;
}

std::string NumberedLines(const std::string& prefix, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += prefix + " line " + std::to_string(i) + "\n";
    }
    return text;
}

// A file of 2 GB, mostly a hole, with text at its start, around its middle and at its end: the viewer
// used to read only its first 1500 KB. The first screen, a jump to the middle and the bottom all show
// their part of the file.
TEST_F(TextFormTest, TwoGigabyteFileOpensAtOnceAndReachesEveryPart) {
    constexpr std::uint64_t kSize = 2ULL << 30;
    const std::string head = NumberedLines("head", 1000);
    const std::string middle = NumberedLines("middle", 100000);
    const std::string tail = NumberedLines("tail", 1000);
    root.Write("Home/huge.log", head);
    std::filesystem::resize_file(root.Host("Home/huge.log"), kSize);
    WriteAt(root.Host("Home/huge.log"), kSize / 2 - middle.size() / 2, middle);
    WriteAt(root.Host("Home/huge.log"), kSize - tail.size(), tail);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "huge.log");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(Text(*form).substr(0, 11), L"head line 0");
        EXPECT_LE(Text(*form).size(), TextSource::kWindowBytes);
        Shot(ui, "huge-first");

        Choose(ui, {L"Go to", L"Percent"});
        EXPECT_EQ(ui.TextOf(L"IDC_EDIT"), L"0");
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"50");
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        const std::wstring text = Text(*form);
        const size_t top = form->GetWrap().GetLineStart(
            static_cast<size_t>(form->GetVerticalScroll() / form->GetWrap().GetLineHeight()));
        EXPECT_EQ(text.substr(top, 12), L"middle line ");
        Choose(ui, {L"Go to", L"Percent"});
        EXPECT_EQ(ui.TextOf(L"IDC_EDIT"), L"50");
        ui.Tap(L"IDC_CANCEL");
        ui.Pump(0);

        // Paging on from the middle runs through the window's end into the next one without a jump.
        const std::wstring before = text.substr(top, 40);
        for (int i = 0; i < 200; ++i) {
            ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_0);
        }
        ui.Pump(0);
        const size_t paged = form->GetWrap().GetLineStart(
            static_cast<size_t>(form->GetVerticalScroll() / form->GetWrap().GetLineHeight()));
        const std::wstring shown = Text(*form).substr(paged, 40);
        EXPECT_EQ(shown.substr(0, 12), L"middle line ");
        EXPECT_NE(shown, before);

        // Lines are numbered in the background; until then going to a line says so.
        if (!form->GetLineCounter().IsDone()) {
            ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            Choose(ui, {L"Go to", L"Line"});
            ASSERT_FALSE(ui.MessageBoxes().empty());
            EXPECT_EQ(ui.MessageBoxes().back().text.substr(0, 16), L"Counting lines: ");
        }
        // A word near the end, found from the middle through the hole, and shown.
        Choose(ui, {L"Find", L"New search"});
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"TAIL LINE 500");
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        for (int waited = 0; form->IsSearching() && waited < 60000; waited += 20) {
            ui.Pump(20);
        }
        size_t at = 0;
        size_t length = 0;
        ASSERT_TRUE(form->GetShownMatch(&at, &length));
        EXPECT_EQ(Text(*form).substr(at, 18), L"tail line 500\ntail");
        Shot(ui, "huge-found");

        Choose(ui, {L"Go to", L"Bottom"});
        EXPECT_TRUE(form->GetSource().WindowAtEnd());
        const std::wstring end = Text(*form);
        EXPECT_EQ(end.substr(end.size() - 14), L"tail line 999\n");
        EXPECT_EQ(form->GetVerticalScroll(), Bottom(*form));
        Shot(ui, "huge-bottom");
    });
}

// Lines of a file larger than a window are numbered in the background; going to one reads the window
// around it, and the details tell the line in view.
TEST_F(TextFormTest, GoToLineOfAFileLargerThanTheWindow) {
    const std::string text = NumberedLines("numbered", 300000);
    ASSERT_GT(text.size(), 8u * TextSource::kWindowBytes);
    root.Write("Home/numbered.txt", text);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "numbered.txt");
        ASSERT_NE(form, nullptr);
        for (int waited = 0; !form->GetLineCounter().IsDone() && waited < 30000; waited += 20) {
            ui.Pump(20);
        }
        ASSERT_TRUE(form->GetLineCounter().IsDone());
        for (const int line : {1, 2, 77777, 150001, 299999, 300000}) {
            Choose(ui, {L"Go to", L"Line"});
            EXPECT_EQ(ui.TextOf(L"IDC_LABEL"), L"Go to line (1 to 300000):");
            ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")
                ->SetText(Osp::Base::String(std::to_wstring(line)));
            ui.Tap(L"IDC_DONE");
            ui.Pump(0);
            // The line is at the top, or in view where the end of the file keeps it lower.
            const int lineHeight = form->GetWrap().GetLineHeight();
            const size_t topLine = static_cast<size_t>(form->GetVerticalScroll() / lineHeight);
            const std::wstring expected = L"numbered line " + std::to_wstring(line - 1) + L"\n";
            const size_t at = Text(*form).find(expected);
            ASSERT_NE(at, std::wstring::npos) << line;
            const size_t shownLine = form->GetWrap().LineOfTextPos(at);
            if (line < 299000) {
                EXPECT_EQ(shownLine, topLine) << line;
            }
            EXPECT_GE(shownLine, topLine) << line;
            EXPECT_LT(shownLine,
                      topLine + static_cast<size_t>(form->GetClientAreaBounds().height / lineHeight));
            const std::wstring top = Text(*form).substr(form->GetWrap().GetLineStart(topLine), 30);
            const int topNumber = std::stoi(top.substr(14));
            Choose(ui, {L"Details"});
            EXPECT_EQ(ui.TextOf(L"IDC_POS"), std::to_wstring(topNumber + 1) + L" of total 300000 lines");
            ui.Tap(L"IDC_CLOSE");
            ui.Pump(0);
        }
    });
}

// Find: any case, next and previous, the match highlighted in view, and "Not found".
TEST_F(TextFormTest, FindNextPreviousAndNotFound) {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "line " + std::to_string(i) + (i % 100 == 50 ? " has the Needle in it\n" : " is hay\n");
    }
    root.Write("Home/hay.txt", text);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "hay.txt");
        ASSERT_NE(form, nullptr);
        auto findShown = [&](const wchar_t* expectedLine) {
            for (int waited = 0; form->IsSearching() && waited < 10000; waited += 10) {
                ui.Pump(10);
            }
            size_t at = 0;
            size_t length = 0;
            ASSERT_TRUE(form->GetShownMatch(&at, &length));
            EXPECT_EQ(Text(*form).substr(at, length), L"Needle");
            const size_t lineStart = Text(*form).rfind(L'\n', at) + 1;
            EXPECT_EQ(Text(*form).substr(lineStart, at - lineStart), expectedLine);
            const int lineHeight = form->GetWrap().GetLineHeight();
            const int y = static_cast<int>(form->GetWrap().LineOfTextPos(at)) * lineHeight;
            EXPECT_GE(y, form->GetVerticalScroll());
            EXPECT_LE(y + lineHeight, form->GetVerticalScroll() + form->GetClientAreaBounds().height);
        };
        Choose(ui, {L"Find", L"New search"});
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"nEEDLE");
        ui.Tap(L"IDC_DONE");
        ui.Pump(0);
        findShown(L"line 50 has the ");
        Shot(ui, "find-first");
        Choose(ui, {L"Find", L"Next"});
        findShown(L"line 150 has the ");
        Choose(ui, {L"Find", L"Next"});
        findShown(L"line 250 has the ");
        Choose(ui, {L"Find", L"Previous"});
        findShown(L"line 150 has the ");
        Shot(ui, "find-previous");

        Choose(ui, {L"Find", L"New search"});
        EXPECT_EQ(ui.TextOf(L"IDC_EDIT"), L"nEEDLE");
        ui.Find<Osp::Ui::Controls::EditField>(L"IDC_EDIT")->SetText(L"thimble");
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.Tap(L"IDC_DONE");
        for (int waited = 0; form->IsSearching() && waited < 10000; waited += 10) {
            ui.Pump(10);
        }
        ui.Pump(0);
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text, L"Not found");
    });
}

TEST_F(TextFormTest, Utf16FileWithMarkAndSmartReflow) {
    const std::u16string units =
        u"A paragraph written\nwith short lines\nthat smart reflow joins.\n\nSecond \x201cparagraph\x201d "
        u"\x2014 \x65e5\x672c\x8a9e and \x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac.\n";
    std::string bytes = "\xff\xfe";
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    root.Write("Home/utf16.txt", bytes);
    Run([&](testsupport::UiDriver& ui) {
        TextForm* form = Open(ui, "utf16.txt");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->GetEncoding(), ENCODING_UTF16LE);
        EXPECT_EQ(Text(*form).substr(0, 2), L"A ");
        Choose(ui, {L"Word wrap", L"Smart reflow"});
        EXPECT_TRUE(form->IsSmartReflow());
        EXPECT_EQ(form->GetWrap().GetLineText(0).substr(0, 25), u"A paragraph written with ");
        Choose(ui, {L"Colors", L"Green on black"});
        Shot(ui, "utf16-reflow-green");
    });
}

}  // namespace
