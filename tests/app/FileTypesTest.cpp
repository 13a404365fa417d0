#include "ui/FileTypes.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

TEST(FileTypes, TypeOfName) {
    struct Case {
        const wchar_t* name;
        int type;
    };
    const Case cases[] = {
        {L"SONG.MP3", FT_AUDIO},
        {L"photo.JPG", FT_IMAGE},
        {L"a.tar.gz", FT_ARCHIVE},
        {L"a.tgz", FT_ARCHIVE},
        {L"movie.avi.001", FT_ARCHIVE},
        {L"help.chm", FT_UNKNOWN},
        {L"README", FT_UNKNOWN},
        {L"ends.", FT_UNKNOWN},
        {L"", FT_UNKNOWN},
        {L".txt", FT_TEXT},
        {L"main.c", FT_TEXT},
        {L"Page.HtMl", FT_HTML},
        {L"setup.msi", FT_INSTALLER},
        {L"x.smt", FT_THEME},
        {L"disc.bin", FT_DISK_IMAGE},
        {L"notes.txt.bak", FT_UNKNOWN},
        {L"photos.zip", FT_ARCHIVE},
        {L"a.xsd", FT_XML},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(GetFileType(cases[i].name), cases[i].type) << "case " << i;
    }
}

TEST(FileTypes, IconsAndDescriptions) {
    EXPECT_STREQ(FileTypeIconName(FT_UNKNOWN), L"DocIc.png");
    EXPECT_STREQ(FileTypeDescription(FT_UNKNOWN), L"");
    EXPECT_STREQ(FileTypeIconName(FT_FOLDER), L"FolderIc.png");
    EXPECT_STREQ(FileTypeDescription(FT_ARCHIVE), L"Archive");
    EXPECT_STREQ(FileTypeIconName(FT_THEME), L"SmtIc.png");
    EXPECT_STREQ(FileTypeDescription(FT_THEME), L"Bada theme");
    // Types outside the table fall back to the unknown type rather than reading past it.
    for (int type : {-1, FT_COUNT, 1000}) {
        EXPECT_STREQ(FileTypeIconName(type), L"DocIc.png") << type;
        EXPECT_STREQ(FileTypeDescription(type), L"") << type;
    }
}

}  // namespace
