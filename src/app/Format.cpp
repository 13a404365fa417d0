#include "app/Format.h"

#include <charconv>
#include <string>

using Osp::Base::String;

namespace {

constexpr unsigned long long kKilo = 1024;
constexpr unsigned long long kMega = kKilo * 1024;
constexpr unsigned long long kGiga = kMega * 1024;

std::wstring Widen(const char* first, const char* last) {
    return std::wstring(first, last);
}

std::wstring Decimal(unsigned long long n) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof(digits), n);
    (void)ec;  // 24 characters hold every 64-bit value.
    return Widen(digits, end);
}

// A fixed-point number with a '.' whatever the host's locale says, rounded as printf rounds.
std::wstring Fixed(double value, int decimals) {
    char digits[64];
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::fixed, decimals);
    (void)ec;  // The values shown here stay far below what 64 characters hold.
    return Widen(digits, end);
}

std::wstring Scaled(unsigned long long n, unsigned long long unit, int decimals, const wchar_t* suffix) {
    return Fixed(static_cast<double>(n) / static_cast<double>(unit), decimals) + suffix;
}

}  // namespace

String FormatCount64(unsigned long long n) {
    if (n < 1000000) {
        return String(Decimal(n));
    }
    if (n < 1000000000) {
        return String(Scaled(n, 1000000, 1, L" mln"));
    }
    return String(Scaled(n, 1000000000, 1, L" bln"));
}

String FormatSize64(unsigned long long n) {
    if (n < kKilo) {
        return String(Decimal(n) + L" bytes");
    }
    if (n < kMega) {
        return String(Scaled(n, kKilo, 2, L" KB"));
    }
    if (n < kGiga) {
        return String(Scaled(n, kMega, 2, L" MB"));
    }
    return String(Scaled(n, kGiga, 2, L" GB"));
}

void FormatFileSize(String* out, unsigned long long n) {
    *out = FormatSize64(n);
    if (n > kKilo) {
        *out += String(L" (" + Decimal(n) + L" bytes)");
    }
}

String FilesAndFoldersToStr(unsigned int files, unsigned int folders) {
    std::wstring text;
    if (files != 0) {
        text = Decimal(files) + L" files";
    }
    if (folders != 0) {
        if (!text.empty()) {
            text += L", ";
        }
        text += Decimal(folders) + L" folders";
    }
    return String(text);
}

String TimeSpanToString(const Osp::Base::TimeSpan& span) {
    const int days = span.GetDays();
    const int hours = span.GetHours();
    const int minutes = span.GetMinutes();
    String text;
    auto append = [&text](int value, const wchar_t* unit) {
        text += String(std::to_wstring(value) + L" " + unit + L" ");
    };
    if (days > 0) {
        append(days, days == 1 ? L"day" : L"days");
    }
    if (hours > 0 || days > 0) {
        append(hours, L"h");
    }
    if (hours > 0 || days > 0 || minutes > 0) {
        append(minutes, L"m");
    }
    append(span.GetSeconds(), L"s");
    return text;
}
