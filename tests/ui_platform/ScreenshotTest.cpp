// Pictures of the phone screen as a user sees it: a folder with its icons, checked items, the soft-key
// bar and the open option menu; the root list with a context menu; a popup. The pictures land in the
// build folder ("screenshots/") for a person to look at.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <memory>

#include "Osp/Media/Image.h"
#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Base::String;
using testsupport::UiDriver;

std::unique_ptr<Osp::Graphics::Bitmap> Icon(const wchar_t* name) {
    Osp::Media::Image image;
    image.Construct();
    return std::unique_ptr<Osp::Graphics::Bitmap>(
        image.DecodeN(String(L"/Res/") + String(name), Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
}

std::string ShotPath(const char* name) {
    const std::filesystem::path dir = std::filesystem::path(CORVANE_RES_DIR).parent_path() / "screenshots";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void ExpectPhoneShot(UiDriver& ui, const char* name, int width, int height) {
    const std::string path = ShotPath(name);
    ASSERT_TRUE(ui.SaveScreenshot(path));
    const QImage shot(QString::fromStdString(path));
    EXPECT_EQ(shot.size(), QSize(width, height));
}

Form* ShowForm(UiDriver& ui, const wchar_t* resourceId) {
    auto* form = new Form;
    EXPECT_EQ(form->Construct(resourceId), Osp::Base::E_SUCCESS);
    form->SetOrientation(Osp::Ui::ORIENTATION_AUTOMATIC);
    ui.GetFrame().AddControl(*form);
    ui.GetFrame().SetCurrentForm(*form);
    return form;
}

TEST(ScreenshotTest, FolderWithCheckedItemsAndTheOptionMenu) {
    UiDriver ui;
    Form* form = ShowForm(ui, L"IDF_FOLDER_FORM");
    form->SetTitleText(L"/Media/Photos");
    auto* list = ui.Find<List>(L"IDC_FOLDERS_LIST");
    struct Entry {
        const wchar_t* name;
        const wchar_t* icon;
    };
    const Entry entries[] = {
        {L"Camera", L"FolderIc.png"},           {L"Downloads", L"FolderIc.png"},
        {L"Screenshots", L"FolderIc.png"},      {L"Beach at sunset.jpg", L"ImageIc.png"},
        {L"Holiday video.mp4", L"VideoIc.png"}, {L"notes.txt", L"TextIc.png"},
        {L"Budget 2026.xlsx", L"ExcelIc.png"},  {L"photos-backup.zip", L"ArchiveIc.png"},
        {L"Ticket.pdf", L"PdfIc.png"},          {L"song.mp3", L"AudioIc.png"},
    };
    std::vector<std::unique_ptr<Osp::Graphics::Bitmap>> icons;
    for (const Entry& e : entries) {
        icons.push_back(Icon(e.icon));
        ASSERT_NE(icons.back(), nullptr);
        const String name(e.name);
        list->AddItem(&name, nullptr, icons.back().get(), nullptr, static_cast<int>(icons.size()) - 1);
    }
    list->SetItemChecked(3, true);
    list->SetItemChecked(5, true);

    OptionMenu menu;
    menu.Construct();
    menu.AddItem(L"Select", 111);
    menu.AddItem(L"Copy / Move", 211);
    menu.AddItem(L"Refresh", 109);
    menu.AddItem(L"New Folder", 203);
    menu.AddItem(L"Filter / Search", 204);
    menu.AddItem(L"Help", 105);
    menu.SetShowState(true);
    menu.Show();
    ExpectPhoneShot(ui, "folder_form_menu.png", 480, 800);
}

TEST(ScreenshotTest, RootListInLandscapeWithAContextMenu) {
    UiDriver ui;
    ui.PressKey(testsupport::PhoneKey::kRotate);
    ShowForm(ui, L"IDF_MAINFORM");
    auto* list = ui.Find<List>(L"IDC_MAIN_FOLDERS_LIST");
    list->SetColumn2Width(480);
    const std::pair<const wchar_t*, const wchar_t*> places[] = {{L"My Private Files", L"PrivateIc.png"},
                                                                {L"Phone Memory", L"PhoneMem.png"},
                                                                {L"Memory Card", L"MemCard.png"},
                                                                {L"\\\\NAS\\Music", L"OnIcon.png"}};
    std::vector<std::unique_ptr<Osp::Graphics::Bitmap>> icons;
    for (const auto& [text, icon] : places) {
        icons.push_back(Icon(icon));
        const String name(text);
        const String note(icons.size() == 4 ? L"connected" : L"");
        list->AddItem(&name, &note, icons.back().get(), nullptr);
    }
    ContextMenu menu;
    menu.Construct(Osp::Graphics::Point(300, 150));
    menu.AddItem(L"Details", 110);
    menu.AddItem(L"Change password", 113);
    menu.AddItem(L"Remove password", 114);
    menu.SetShowState(true);
    menu.Show();
    ExpectPhoneShot(ui, "main_form_context_menu.png", 800, 480);
}

TEST(ScreenshotTest, TransferPopupOverAFolder) {
    UiDriver ui;
    ShowForm(ui, L"IDF_FOLDER_FORM")->SetTitleText(L"/Storagecard/Media/Music");
    Popup popup;
    ASSERT_EQ(popup.Construct(L"IDP_TRANSFER"), Osp::Base::E_SUCCESS);
    dynamic_cast<Label*>(popup.GetControl(L"IDC_NAME"))
        ->SetText(L"/Media/Music/Concert recording 2026-05-14.mp3");
    dynamic_cast<Label*>(popup.GetControl(L"IDC_SIZE"))->SetText(L"12.40 MB of 31.02 MB");
    dynamic_cast<Label*>(popup.GetControl(L"IDC_PERCENT"))->SetText(L"39 %");
    dynamic_cast<Label*>(popup.GetControl(L"IDC_TIME"))->SetText(L"1 m 12 s ");
    dynamic_cast<Progress*>(popup.GetControl(L"IDC_PROGRESS"))->SetValue(39);
    popup.SetShowState(true);
    popup.Show();
    ExpectPhoneShot(ui, "transfer_popup.png", 480, 800);
}

}  // namespace
