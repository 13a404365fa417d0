#include "ui/FileTypes.h"

#include <map>

#include "app/PathUtils.h"
#include "app/StringUtils.h"

namespace {

struct SFileExt {
    const wchar_t* ext;
    int type;
};

struct SFtInfo {
    const wchar_t* icon;
    const wchar_t* description;
};

constexpr SFileExt s_oFileExt[] = {
    {L"png", FT_IMAGE},      {L"jpg", FT_IMAGE},      {L"gif", FT_IMAGE},       {L"bmp", FT_IMAGE},
    {L"xml", FT_XML},        {L"xsl", FT_XML},        {L"dtd", FT_XML},         {L"xsd", FT_XML},
    {L"exe", FT_PROGRAM},    {L"dll", FT_LIBRARY},    {L"avi", FT_VIDEO},       {L"wmv", FT_VIDEO},
    {L"mpg", FT_VIDEO},      {L"mp4", FT_VIDEO},      {L"mkv", FT_VIDEO},       {L"divx", FT_VIDEO},
    {L"3gp", FT_VIDEO},      {L"srt", FT_TEXT},       {L"sub", FT_TEXT},        {L"txt", FT_TEXT},
    {L"log", FT_TEXT},       {L"h", FT_TEXT},         {L"c", FT_TEXT},          {L"hpp", FT_TEXT},
    {L"cpp", FT_TEXT},       {L"ini", FT_TEXT},       {L"py", FT_TEXT},         {L"bat", FT_TEXT},
    {L"cmd", FT_TEXT},       {L"pdf", FT_PDF},        {L"htm", FT_HTML},        {L"html", FT_HTML},
    {L"wav", FT_AUDIO},      {L"mp3", FT_AUDIO},      {L"aac", FT_AUDIO},       {L"wma", FT_AUDIO},
    {L"amr", FT_AUDIO},      {L"mmf", FT_AUDIO},      {L"mid", FT_AUDIO},       {L"imy", FT_AUDIO},
    {L"zip", FT_ARCHIVE},    {L"zipx", FT_ARCHIVE},   {L"001", FT_ARCHIVE},     {L"rar", FT_ARCHIVE},
    {L"tar", FT_ARCHIVE},    {L"gz", FT_ARCHIVE},     {L"tgz", FT_ARCHIVE},     {L"gzip", FT_ARCHIVE},
    {L"tbz2", FT_ARCHIVE},   {L"tbz", FT_ARCHIVE},    {L"bzip2", FT_ARCHIVE},   {L"7z", FT_ARCHIVE},
    {L"bz2", FT_ARCHIVE},    {L"doc", FT_WORD},       {L"docx", FT_WORD},       {L"xls", FT_EXCEL},
    {L"xlsx", FT_EXCEL},     {L"ppt", FT_POWERPOINT}, {L"pptx", FT_POWERPOINT}, {L"psd", FT_PHOTOSHOP},
    {L"iso", FT_DISK_IMAGE}, {L"nrg", FT_DISK_IMAGE}, {L"bin", FT_DISK_IMAGE},  {L"msi", FT_INSTALLER},
    {L"smt", FT_THEME},
};

constexpr SFtInfo s_oFtInfo[FT_COUNT] = {
    {L"DocIc.png", L""},
    {L"FolderIc.png", L"Folder"},
    {L"ImageIc.png", L"Image"},
    {L"XmlIc.png", L"XML document"},
    {L"ProgramIc.png", L"Windows program"},
    {L"DllIc.png", L"Dynamic library"},
    {L"VideoIc.png", L"Video clip"},
    {L"TextIc.png", L"Text document"},
    {L"PdfIc.png", L"Adobe Acrobat document"},
    {L"HtmlIc.png", L"Web page"},
    {L"AudioIc.png", L"Audio clip"},
    {L"ArchiveIc.png", L"Archive"},
    {L"WordIc.png", L"MS Word document"},
    {L"ExcelIc.png", L"MS Excel spreadsheet"},
    {L"PptIc.png", L"MS PowerPoint presentation"},
    {L"PsdIc.png", L"Adobe Photoshop image"},
    {L"IsoIc.png", L"Disk image file"},
    {L"MsiIc.png", L"Windows install package"},
    {L"SmtIc.png", L"Bada theme"},
};

// Filled in table order, so a later row would win over an earlier one with the same extension.
const std::map<std::wstring, int>& FileTypeMap() {
    static const std::map<std::wstring, int> sm_oFileTypes = [] {
        std::map<std::wstring, int> types;
        for (const SFileExt& row : s_oFileExt) {
            types[row.ext] = row.type;
        }
        return types;
    }();
    return sm_oFileTypes;
}

const SFtInfo& InfoOf(int type) {
    return s_oFtInfo[type >= 0 && type < FT_COUNT ? type : FT_UNKNOWN];
}

}  // namespace

int GetFileType(const std::wstring& name) {
    std::wstring ext;
    GetFileExt(name, &ext);
    if (ext.empty()) {
        return FT_UNKNOWN;
    }
    MakeLower(&ext);
    const std::map<std::wstring, int>& types = FileTypeMap();
    auto found = types.find(ext);
    return found == types.end() ? FT_UNKNOWN : found->second;
}

const wchar_t* FileTypeIconName(int type) {
    return InfoOf(type).icon;
}

const wchar_t* FileTypeDescription(int type) {
    return InfoOf(type).description;
}
