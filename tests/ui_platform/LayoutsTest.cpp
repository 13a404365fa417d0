// Every screen and popup the system names has a layout that builds, with each named control of the
// right kind.

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "Osp/Ui/Controls/ScrollPanel.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Ui::Container;
using Osp::Ui::Control;

template <typename T>
bool Is(const Control* c) {
    return dynamic_cast<const T*>(c) != nullptr;
}

using Check = std::function<bool(const Control*)>;
const Check kLabel = Is<Label>;
const Check kButton = Is<Button>;
const Check kCheck = Is<CheckButton>;
const Check kEdit = Is<EditField>;
const Check kList = Is<List>;
const Check kProgress = Is<Progress>;
const Check kPanel = Is<ScrollPanel>;

struct Layout {
    const wchar_t* id;
    std::vector<std::pair<const wchar_t*, Check>> controls;
};

const std::vector<Layout> kForms = {
    {L"IDF_MAINFORM", {{L"IDC_MAIN_FOLDERS_LIST", kList}}},
    {L"IDF_FOLDER_FORM", {{L"IDC_FOLDERS_LIST", kList}}},
    {L"IDF_SETTINGS",
     {{L"IDC_HIDDEN_CHECK", kCheck}, {L"IDC_TRASH_CHECK", kCheck}, {L"IDC_CLEAR_CACHE", kButton}}},
    {L"IDF_TRASH", {{L"IDC_TRASH_LIST", kList}}},
    {L"IDF_SET_PWD", {{L"IDC_SCROLLPANEL1", kPanel}, {L"IDPC_PWD_EDIT", kEdit}, {L"IDPC_PWD_EDIT2", kEdit}}},
    {L"IDF_CHANGE_PWD",
     {{L"IDC_SCROLLPANEL1", kPanel},
      {L"IDPC_OLD_PWD", kEdit},
      {L"IDPC_PWD_EDIT", kEdit},
      {L"IDPC_PWD_EDIT2", kEdit}}},
    {L"IDF_REMOTE_FOLDER",
     {{L"IDN_SCROLLPANEL", kPanel},
      {L"IDC_NBT_NAME", kEdit},
      {L"IDC_SHARE_NAME", kEdit},
      {L"IDC_IP_ADDRESS", kEdit},
      {L"IDC_WINS_ADDRESS", kEdit},
      {L"IDC_USER_NAME", kEdit},
      {L"IDC_PASSWORD", kEdit}}},
    {L"IDF_TEXT_FORM", {}},
};

const std::vector<Layout> kPopups = {
    {L"IDP_ABOUT",
     {{L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_LABEL3", kLabel},
      {L"IDC_LABEL4", kLabel},
      {L"IDC_CLOSE", kButton}}},
    {L"IDP_FILE_DETAILS",
     {{L"IDC_NAME", kLabel},
      {L"IDC_TYPE", kLabel},
      {L"IDC_LOCATION", kLabel},
      {L"IDC_SIZE", kLabel},
      {L"IDC_DATE", kLabel},
      {L"IDC_RO_CHECK", kCheck},
      {L"IDC_HID_CHECK", kCheck},
      {L"IDC_CLOSE", kButton},
      {L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_LABEL5", kLabel},
      {L"IDC_LABEL6", kLabel},
      {L"IDC_LABEL8", kLabel},
      {L"IDC_LABEL9", kLabel}}},
    {L"IDP_SEL_DETAILS",
     {{L"IDC_NAME", kLabel},
      {L"IDC_TYPE", kLabel},
      {L"IDC_LOCATION", kLabel},
      {L"IDC_SIZE", kLabel},
      {L"IDC_CLOSE", kButton},
      {L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_LABEL5", kLabel},
      {L"IDC_LABEL6", kLabel}}},
    {L"IDP_DISK_DETAILS",
     {{L"IDC_FREE", kLabel},
      {L"IDC_USED", kLabel},
      {L"IDC_CAPACITY", kLabel},
      {L"IDC_PERCENT", kLabel},
      {L"IDC_PROGRESS1", kProgress},
      {L"IDC_CLOSE", kButton},
      {L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_LABEL3", kLabel},
      {L"IDC_LABEL5", kLabel},
      {L"IDC_LABEL6", kLabel}}},
    {L"IDP_TRANSFER",
     {{L"IDC_CANCEL", kButton},
      {L"IDC_NAME", kLabel},
      {L"IDC_TIME", kLabel},
      {L"IDC_SIZE", kLabel},
      {L"IDC_PERCENT", kLabel},
      {L"IDC_PROGRESS", kProgress},
      {L"IDC_LABEL2", kLabel}}},
    {L"IDP_OVERWRITE",
     {{L"IDC_NAME", kLabel},
      {L"IDC_SRC_SIZE", kLabel},
      {L"IDC_SRC_DATE", kLabel},
      {L"IDC_DST_SIZE", kLabel},
      {L"IDC_DST_DATE", kLabel},
      {L"IDC_YES", kButton},
      {L"IDC_YES_TO_ALL", kButton},
      {L"IDC_NO", kButton},
      {L"IDC_NO_TO_ALL", kButton},
      {L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL3", kLabel},
      {L"IDC_LABEL4", kLabel},
      {L"IDC_LABEL6", kLabel},
      {L"IDC_LABEL7", kLabel},
      {L"IDC_LABEL11", kLabel},
      {L"IDC_LABEL12", kLabel}}},
    {L"IDP_DELETE_DETAILS",
     {{L"IDC_CANCEL", kButton},
      {L"IDC_NAME", kLabel},
      {L"IDC_NOTE", kLabel},
      {L"IDC_PERCENT", kLabel},
      {L"IDC_PROGRESS", kProgress}}},
    {L"IDP_PASSWORD", {{L"IDC_PWD", kEdit}, {L"IDC_DONE", kButton}, {L"IDC_CANCEL", kButton}}},
    {L"IDP_LOGIN",
     {{L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_NAME", kEdit},
      {L"IDC_PWD", kEdit},
      {L"IDC_REMEMBER_CHECK", kCheck},
      {L"IDC_OK", kButton},
      {L"IDC_CANCEL", kButton}}},
    {L"IDP_SHARES", {{L"IDC_LIST", kList}, {L"IDC_CANCEL", kButton}}},
    {L"IDP_TEXT_GOTO_LINE",
     {{L"IDC_DONE", kButton}, {L"IDC_CANCEL", kButton}, {L"IDC_LABEL", kLabel}, {L"IDC_EDIT", kEdit}}},
    {L"IDP_TEXT_FIND",
     {{L"IDC_DONE", kButton}, {L"IDC_CANCEL", kButton}, {L"IDC_LABEL", kLabel}, {L"IDC_EDIT", kEdit}}},
    {L"IDP_TEXT_DETAILS",
     {{L"IDC_NAME", kLabel},
      {L"IDC_POS", kLabel},
      {L"IDC_LOCATION", kLabel},
      {L"IDC_SIZE", kLabel},
      {L"IDC_DATE", kLabel},
      {L"IDC_CLOSE", kButton},
      {L"IDC_LABEL1", kLabel},
      {L"IDC_LABEL2", kLabel},
      {L"IDC_LABEL5", kLabel},
      {L"IDC_LABEL6", kLabel},
      {L"IDC_LABEL7", kLabel},
      {L"IDC_ENCODING", kLabel}}},
};

void ExpectControls(const Container& container, const Layout& layout) {
    for (const auto& [id, isRightKind] : layout.controls) {
        const Control* control = container.GetControl(Osp::Base::String(id), true);
        EXPECT_TRUE(control != nullptr && isRightKind(control))
            << "control " << Osp::Base::String(id).GetLength();
    }
}

TEST(LayoutsTest, EveryFormBuildsWithItsControls) {
    for (const Layout& layout : kForms) {
        SCOPED_TRACE(testing::Message() << "form #" << (&layout - kForms.data()));
        Form form;
        ASSERT_EQ(form.Construct(Osp::Base::String(layout.id)), Osp::Base::E_SUCCESS);
        ExpectControls(form, layout);
        // Every control fits in the client area in both orientations.
        for (int i = 0; i < form.GetControlCount(); ++i) {
            const auto r = form.GetControl(i)->GetBounds();
            EXPECT_LE(r.x + r.width, 480);
            EXPECT_LE(r.y + r.height, 664);
        }
    }
}

TEST(LayoutsTest, EveryPopupBuildsWithItsControlsAndFitsTheScreenBothWays) {
    for (const Layout& layout : kPopups) {
        SCOPED_TRACE(testing::Message() << "popup #" << (&layout - kPopups.data()));
        Popup popup;
        ASSERT_EQ(popup.Construct(Osp::Base::String(layout.id)), Osp::Base::E_SUCCESS);
        ExpectControls(popup, layout);
        EXPECT_LE(popup.GetWidth(), 480);
        EXPECT_LE(popup.GetHeight(), 480);
        const auto client = popup.GetClientAreaBounds();
        for (int i = 0; i < popup.GetControlCount(); ++i) {
            const auto r = popup.GetControl(i)->GetBounds();
            EXPECT_LE(r.x + r.width, client.width);
            EXPECT_LE(r.y + r.height, client.height);
        }
    }
}

}  // namespace
