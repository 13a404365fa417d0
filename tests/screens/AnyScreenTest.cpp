// The phone's screens fitted to real windows: phones at scale 1.5, 2 and 3, a phone held sideways, a
// desktop window, a tiny one and a very flat one. On the main list, a folder list, "New network folder",
// the text viewer and the transfer popup, every control lies inside the window, none overlaps another
// beside it, the list or panel takes the window's extra height, and every soft key shows its whole text.
// The pictures, drawn at each case's scale, go to the build's screenshots/ folder for a person to look at.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <filesystem>
#include <string>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/ScrollPanel.h"
#include "app/Corvane.h"
#include "app/MainForm.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/Overlay.h"
#include "host/ui/Theme.h"
#include "testsupport/UiDriver.h"

namespace {

using Osp::Ui::Controls::Form;
using Osp::Ui::Controls::List;
using testsupport::UiDriver;

struct ScreenCase {
    const char* name;
    QSize window;  // in device-independent pixels
    double scale;  // device pixels per device-independent pixel
    bool landscape;
};

const ScreenCase kCases[] = {
    {"phone-360x720-at-2", {360, 720}, 2.0, false}, {"phone-540x1080-at-1.5", {540, 1080}, 1.5, false},
    {"landscape-800x480", {800, 480}, 1.0, true},   {"phone-1080x2340-at-3", {360, 780}, 3.0, false},
    {"desktop-1280x800", {1280, 800}, 1.0, true},   {"tiny-200x200", {200, 200}, 1.0, false},
    {"flat-1600x240", {1600, 240}, 1.0, true},
};

std::string ShotPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(CORVANE_RES_DIR).parent_path() / "screenshots";
    std::filesystem::create_directories(dir);
    return (dir / ("any-" + name + ".png")).string();
}

// Draws the window as a screen of that scale shows it.
void SaveAtScale(const std::string& name, double scale) {
    QWidget& window = host::AppWindow();
    QImage image(window.size() * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::black);
    window.render(&image);
    ASSERT_TRUE(image.save(QString::fromStdString(ShotPath(name))));
}

// The widget's rectangle in the window, cut by its parents below the window, which clip it.
QRect ShownRect(const QWidget& widget) {
    const QWidget& window = host::AppWindow();
    QRect shown(widget.mapTo(&window, QPoint(0, 0)), widget.size());
    for (const QWidget* p = widget.parentWidget(); p != nullptr && p != &window; p = p->parentWidget()) {
        shown &= QRect(p->mapTo(&window, QPoint(0, 0)), p->size());
    }
    return shown;
}

// Every shown widget lies inside the window, and shown widgets side by side do not overlap. Overlays
// are layers over the forms and are checked inside, not against the form below them.
void ExpectTidy(const QWidget& parent, const std::string& where) {
    const QRect window = host::AppWindow().rect();
    std::vector<const QWidget*> shown;
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<const QWidget*>(child);
        if (widget == nullptr || !widget->isVisible() || widget->isWindow()) {
            continue;
        }
        const QRect r = ShownRect(*widget);
        EXPECT_TRUE(r.isEmpty() || window.contains(r))
            << where << ": " << widget->metaObject()->className() << " at " << r.x() << "," << r.y() << " "
            << r.width() << "x" << r.height() << " leaves the window";
        if (dynamic_cast<const host::Overlay*>(widget) == nullptr) {
            shown.push_back(widget);
        }
        ExpectTidy(*widget, where);
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const QRect both = shown[i]->geometry() & shown[j]->geometry();
            EXPECT_TRUE(both.isEmpty()) << where << ": " << shown[i]->metaObject()->className() << " and "
                                        << shown[j]->metaObject()->className() << " overlap by "
                                        << both.width() << "x" << both.height();
        }
    }
}

// Both soft keys of the form show their whole text, inside the form.
void ExpectSoftkeysShown(Form& form, const std::string& where) {
    using KeyId = Form::Impl::KeyId;
    host::FormWidget& widget = *form.GetFormImpl().widget;
    const QFontMetrics metrics(host::theme::Font(21, true));
    for (KeyId id : {KeyId::kLeft, KeyId::kRight}) {
        if (!form.GetFormImpl().HasKey(id)) {
            continue;
        }
        const QRect key = widget.KeyRect(id);
        const QString text = QString::fromStdWString(form.GetFormImpl().KeyOf(id).text.Units());
        EXPECT_TRUE(widget.Area().contains(key)) << where << ": a soft key leaves the form";
        EXPECT_LE(metrics.horizontalAdvance(text) + 48, key.width())
            << where << ": soft key \"" << text.toStdString() << "\" is cut";
    }
}

// The stretching control of the form (a list or panel) reaches the bottom of the client area.
void ExpectFilled(Form& form, const Osp::Ui::Control& control, const std::string& where) {
    const Osp::Graphics::Rectangle client = form.GetClientAreaBounds();
    const Osp::Graphics::Rectangle bounds = control.GetBounds();
    EXPECT_EQ(bounds.y + bounds.height, client.height) << where << ": the list does not fill the form";
    EXPECT_EQ(bounds.width, client.width) << where << ": the list does not span the form";
}

void CheckScreen(UiDriver& ui, const ScreenCase& c, const std::string& screen) {
    ui.Pump(50);
    const std::string where = std::string(c.name) + " " + screen;
    EXPECT_EQ(host::AppWindow().size(), c.window) << where << ": the window keeps another size";
    Form* form = ui.GetFrame().GetCurrentForm();
    ASSERT_NE(form, nullptr) << where;
    EXPECT_EQ(Osp::Ui::IsLandscape(form->GetOrientationStatus()), c.landscape) << where;
    ExpectTidy(host::AppWindow(), where);
    ExpectSoftkeysShown(*form, where);
    SaveAtScale(std::string(c.name) + "-" + screen, c.scale);
}

void RunCase(const ScreenCase& c) {
    PhoneRoot root;
    root.MakeDir("Media/Camera");
    for (int i = 0; i < 30; ++i) {
        root.Write("Media/photo " + std::to_string(i) + ".jpg", "jpeg");
    }
    root.Write("Home/notes.txt", std::string(200, 'x') + "\nThe second line of the notes.\n");
    EXPECT_TRUE(CorvaneLoop::Run(
        [&] {
            {
                UiDriver ui;
                Corvane& app = *Corvane::GetMyInstance();
                host::AppWindow().resize(c.window);
                ui.Pump(50);

                CheckScreen(ui, c, "main-list");
                auto* places = ui.Find<List>(L"IDC_MAIN_FOLDERS_LIST");
                ASSERT_NE(places, nullptr);
                ExpectFilled(*ui.GetFrame().GetCurrentForm(), *places, std::string(c.name) + " main-list");

                ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_0);
                CheckScreen(ui, c, "new-network-folder");
                auto* panel = ui.Find<Osp::Ui::Controls::ScrollPanel>(L"IDN_SCROLLPANEL");
                ASSERT_NE(panel, nullptr);
                ExpectFilled(*ui.GetFrame().GetCurrentForm(), *panel,
                             std::string(c.name) + " new-network-folder");
                ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
                ui.Pump(50);

                app.SwitchToForm(app.GetMainForm());
                ui.TapListItem(*ui.Find<List>(L"IDC_MAIN_FOLDERS_LIST"), 1);
                CheckScreen(ui, c, "folder-list");

                auto* transfer = new Osp::Ui::Controls::Popup;
                ASSERT_EQ(transfer->Construct(L"IDP_TRANSFER"), Osp::Base::E_SUCCESS);
                transfer->SetShowState(true);
                transfer->Show();
                CheckScreen(ui, c, "transfer-popup");
                delete transfer;

                app.OpenTextForm(L"/Home/notes.txt", L"/Home/notes.txt", 230, Osp::Base::DateTime());
                CheckScreen(ui, c, "text-viewer");
            }
            CorvaneLoop::Quit();
        },
        20000));
}

class AnyScreenTest : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(AnyScreenTest, EveryControlInsideTheWindowAndNoneOverlapping) {
    RunCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sizes, AnyScreenTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ScreenCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });

}  // namespace
