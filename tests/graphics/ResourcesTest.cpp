// What the program expects under "/Res/" is made by the build: every icon the system names, the spinner
// frames and the help pages with working links between them.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <memory>

#include "Osp/Media/Image.h"
#include "TempPhone.h"
#include "host/GraphicsHost.h"
#include "ui/FileTypes.h"

using namespace Osp::Base;
using namespace Osp::Graphics;

namespace {

std::unique_ptr<Bitmap> Decode(const String& path) {
    Osp::Media::Image image;
    return std::unique_ptr<Bitmap>(image.DecodeN(path, BITMAP_PIXEL_FORMAT_ARGB8888));
}

}  // namespace

TEST(ResourcesTest, EveryIconTheSystemNamesDecodesAtListRowSize) {
    std::vector<String> names;
    for (int type = 0; type < FT_COUNT; ++type) {
        names.emplace_back(FileTypeIconName(type));
    }
    for (const wchar_t* name : {L"MulDocIc.png", L"OffIcon.png", L"OnIcon.png", L"PrivateIc.png",
                                L"PhoneMem.png", L"MemCard.png"}) {
        names.emplace_back(name);
    }
    for (const String& name : names) {
        std::unique_ptr<Bitmap> icon = Decode(String(L"/Res/") + name);
        ASSERT_NE(icon, nullptr) << QString::fromWCharArray(name.GetPointer()).toStdString();
        EXPECT_EQ(icon->GetWidth(), 48);
        EXPECT_EQ(icon->GetHeight(), 48);
    }
}

TEST(ResourcesTest, SpinnerHasEightDifferentFramesInBothSizes) {
    for (auto [format, size] :
         {std::pair{L"/Res/Progress/%02d.png", 28}, {L"/Res/Progress/big%02d.png", 60}}) {
        QImage previous;
        for (int frame = 0; frame < 8; ++frame) {
            String path;
            path.Format(128, format, frame);
            std::unique_ptr<Bitmap> bitmap = Decode(path);
            ASSERT_NE(bitmap, nullptr) << frame;
            EXPECT_EQ(bitmap->GetWidth(), size);
            EXPECT_EQ(bitmap->GetHeight(), size);
            EXPECT_NE(host::ImageOf(*bitmap), previous) << frame;
            previous = host::ImageOf(*bitmap);
        }
    }
}

TEST(ResourcesTest, HelpPagesExistAndTheirLinksLeadToInstalledFiles) {
    for (const wchar_t* page :
         {L"main_form.html", L"folder_form.html", L"remote_folder_form.html", L"settings_form.html"}) {
        QFile file(TempPhone::HostPath(std::wstring(L"/Res/Help/") + page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("<h1>")));
        QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        for (const QRegularExpressionMatch& match : link.globalMatch(html)) {
            QString target = match.captured(1);
            EXPECT_TRUE(QFile::exists(TempPhone::HostPath(L"/Res/Help/" + target.toStdWString())))
                << file.fileName().toStdString() << " links to " << target.toStdString();
        }
    }
}
