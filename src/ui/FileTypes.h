#pragma once
// File types: a small number from a file name's extension, deciding the file's icon, its description
// and how it opens. Only the name is looked at, never the contents. Called on the user-interface
// thread; the extension map is built on the first call and never changes afterwards.

#include <string>

// The type numbers. Directories are FT_FOLDER whatever their names; GetFileType never gives it.
inline constexpr int FT_UNKNOWN = 0;
inline constexpr int FT_FOLDER = 1;
inline constexpr int FT_IMAGE = 2;
inline constexpr int FT_XML = 3;
inline constexpr int FT_PROGRAM = 4;
inline constexpr int FT_LIBRARY = 5;
inline constexpr int FT_VIDEO = 6;
inline constexpr int FT_TEXT = 7;
inline constexpr int FT_PDF = 8;
inline constexpr int FT_HTML = 9;
inline constexpr int FT_AUDIO = 10;
inline constexpr int FT_ARCHIVE = 11;
inline constexpr int FT_WORD = 12;
inline constexpr int FT_EXCEL = 13;
inline constexpr int FT_POWERPOINT = 14;
inline constexpr int FT_PHOTOSHOP = 15;
inline constexpr int FT_DISK_IMAGE = 16;
inline constexpr int FT_INSTALLER = 17;
inline constexpr int FT_THEME = 18;
inline constexpr int FT_COUNT = 19;

// The type of a file name by its extension, compared without case; FT_UNKNOWN when the name has no
// extension or the extension is not in the table.
int GetFileType(const std::wstring& name);

// The icon's file name below "/Res/", such as "ImageIc.png"; a type outside the table gets the icon of
// FT_UNKNOWN.
const wchar_t* FileTypeIconName(int type);

// The description the details show, such as "Image"; empty for FT_UNKNOWN and for a type outside the
// table.
const wchar_t* FileTypeDescription(int type);
