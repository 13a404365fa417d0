// Fingers on the screen, as real touch events. Qt's mouse stand-in for touches that no widget takes is
// switched off, so that only the controls' own touch handling can act: a tap opens a folder, a long press
// opens the item's menu and opens nothing else, and a flick throws a 1,000-item list, which glides on
// after the finger has left.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointingDevice>
#include <QTest>
#include <string>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Controls/List.h"
#include "app/Corvane.h"
#include "app/MainForm.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/ListImpl.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"
#include "testsupport/UiDriver.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Ui::Controls::List;
using testsupport::UiDriver;

QPointingDevice* TouchScreen() {
    static QPointingDevice* device = QTest::createTouchDevice();
    return device;
}

// Where a point of the list, in its units, lies in the window.
QPoint InWindow(const List& list, const Osp::Graphics::Point& at) {
    return list.GetControlImpl().widget->mapTo(&host::AppWindow(), host::fit::ToPixels(QPoint(at.x, at.y)));
}

void Press(const QPoint& at) {
    QTest::touchEvent(&host::AppWindow(), TouchScreen()).press(0, at);
}
void MoveTo(const QPoint& at) {
    QTest::touchEvent(&host::AppWindow(), TouchScreen()).move(0, at);
}
void Lift(const QPoint& at) {
    QTest::touchEvent(&host::AppWindow(), TouchScreen()).release(0, at);
}

class TouchTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setAttribute(Qt::AA_SynthesizeMouseForUnhandledTouchEvents, false);
    }
    void TearDown() override {
        QCoreApplication::setAttribute(Qt::AA_SynthesizeMouseForUnhandledTouchEvents, true);
    }

    void RunOnPhone(const std::function<void(UiDriver&, Corvane&)>& body) {
        EXPECT_TRUE(CorvaneLoop::Run(
            [&] {
                {
                    UiDriver ui;
                    body(ui, *Corvane::GetMyInstance());
                }
                CorvaneLoop::Quit();
            },
            20000));
    }

    static List& Places(const UiDriver& ui) { return *ui.Find<List>(L"IDC_MAIN_FOLDERS_LIST"); }
    static bool OnFolderForm(const UiDriver& ui) {
        return dynamic_cast<FolderForm*>(ui.GetFrame().GetCurrentForm()) != nullptr;
    }
};

TEST_F(TouchTest, TapOpensTheFolder) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane&) {
        const QPoint item = InWindow(Places(ui), ui.ListItemPoint(Places(ui), 1));
        Press(item);
        ui.Pump(50);
        Lift(item);
        ui.Pump(50);
        EXPECT_TRUE(OnFolderForm(ui));
    });
}

TEST_F(TouchTest, LongPressOpensTheItemMenuAndNoFolder) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane&) {
        const QPoint item = InWindow(Places(ui), ui.ListItemPoint(Places(ui), 0));  // My Private Files
        Press(item);
        ui.Pump(host::theme::kLongPressMs + 200);
        Lift(item);
        ui.Pump(100);
        EXPECT_TRUE(ui.IsMenuOpen());
        EXPECT_FALSE(OnFolderForm(ui)) << "the long press also tapped the item";
    });
}

TEST_F(TouchTest, FlickThrowsALongListThatGlidesOn) {
    PhoneRoot root;
    for (int i = 0; i < 1000; ++i) {
        root.Write("Media/file " + std::to_string(10000 + i) + ".txt", "x");
    }
    RunOnPhone([](UiDriver& ui, Corvane&) {
        ui.TapListItem(Places(ui), 1);
        ASSERT_TRUE(OnFolderForm(ui));
        auto* list = ui.Find<List>(L"IDC_FOLDERS_LIST");
        ASSERT_NE(list, nullptr);
        ASSERT_GE(list->GetItemCount(), 1000);
        const List::Impl& impl = list->GetListImpl();
        QPoint finger = InWindow(*list, Osp::Graphics::Point(200, impl.ViewHeight() - 40));
        Press(finger);
        for (int step = 0; step < 6; ++step) {
            ui.Pump(10);
            finger.ry() -= host::fit::ToPixels(60);
            MoveTo(finger);
        }
        Lift(finger);
        const int afterLift = impl.offset;
        EXPECT_GT(afterLift, 0) << "the finger did not move the list";
        ui.Pump(400);
        EXPECT_GT(impl.offset, afterLift + impl.rowHeight) << "the list stopped with the finger";
    });
}

}  // namespace
