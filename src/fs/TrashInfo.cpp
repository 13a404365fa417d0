#include "fs/TrashInfo.h"

#include <cstdio>

namespace {

constexpr std::string_view kGroup = "[Trash Info]";
constexpr std::string_view kPathKey = "Path=";
constexpr std::string_view kDateKey = "DeletionDate=";
constexpr char kHex[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

// "YYYY-MM-DDThh:mm:ss" as "YYYY-MM-DD hh:mm"; empty for anything else.
std::wstring ShownDate(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':') {
        return std::wstring();
    }
    for (size_t start : {0, 5, 8, 11, 14, 17}) {
        if (!AllDigits(text.substr(start, start == 0 ? 4 : 2))) {
            return std::wstring();
        }
    }
    std::wstring shown(text.begin(), text.begin() + 16);
    shown[10] = L' ';
    return shown;
}

}  // namespace

std::string PercentEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (IsUnreserved(u)) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        }
    }
    return out;
}

bool PercentDecode(std::string_view text, std::string* bytes) {
    bytes->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes->push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes->push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

std::string FormatTrashInfo(std::string_view path, const Osp::Base::DateTime& localTime) {
    char date[32];
    std::snprintf(date, sizeof(date), "%04d-%02d-%02dT%02d:%02d:%02d", localTime.GetYear(),
                  localTime.GetMonth(), localTime.GetDay(), localTime.GetHour(), localTime.GetMinute(),
                  localTime.GetSecond());
    return std::string(kGroup) + "\n" + std::string(kPathKey) + PercentEncode(path) + "\n" +
           std::string(kDateKey) + date + "\n";
}

bool ParseTrashInfo(std::string_view text, STrashInfo* info) {
    if (text.size() > kMaxTrashInfoBytes) {
        return false;
    }
    bool inGroup = false;
    bool sawGroup = false;
    bool sawPath = false;
    *info = STrashInfo();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inGroup = line == kGroup;
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup) {
            continue;
        }
        if (line.substr(0, kPathKey.size()) == kPathKey) {
            if (sawPath || !PercentDecode(line.substr(kPathKey.size()), &info->path) || info->path.empty() ||
                info->path.find('\0') != std::string::npos) {
                return false;
            }
            sawPath = true;
        } else if (line.substr(0, kDateKey.size()) == kDateKey) {
            info->deletedAt = ShownDate(line.substr(kDateKey.size()));
        }
    }
    return sawGroup && sawPath;
}
