#pragma once
// Copies between the platform's 16-bit units (one per wchar_t) and Qt's UTF-16 strings.

#include <QString>
#include <string>

namespace host {

inline QString ToQString(const std::wstring& units) {
    QString s(static_cast<qsizetype>(units.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (size_t i = 0; i < units.size(); ++i) {
        out[i] = QChar(static_cast<char16_t>(units[i]));
    }
    return s;
}

inline std::wstring FromQString(const QString& s) {
    std::wstring units(static_cast<size_t>(s.size()), L'\0');
    for (qsizetype i = 0; i < s.size(); ++i) {
        units[static_cast<size_t>(i)] = static_cast<wchar_t>(s[i].unicode());
    }
    return units;
}

}  // namespace host
