#include "Osp/Base/String.h"

#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace Osp::Base {

String::String(const wchar_t* units) {
    if (units != nullptr) {
        s_ = units;
    }
}

String::String(const wchar_t* units, int count) {
    if (units != nullptr && count > 0) {
        s_.assign(units, static_cast<size_t>(count));
    }
}

String::String(wchar_t unit) : s_(1, unit) {}

String& String::operator=(const wchar_t* units) {
    s_ = units != nullptr ? units : L"";
    return *this;
}

result String::GetCharAt(int index, wchar_t& ch) const {
    if (index < 0 || index >= GetLength()) {
        return E_OUT_OF_RANGE;
    }
    ch = s_[static_cast<size_t>(index)];
    return E_SUCCESS;
}

result String::Append(const String& s) {
    s_ += s.s_;
    return E_SUCCESS;
}

result String::Append(const wchar_t* s) {
    if (s == nullptr) {
        return E_INVALID_ARG;
    }
    s_ += s;
    return E_SUCCESS;
}

result String::Append(wchar_t c) {
    s_ += c;
    return E_SUCCESS;
}

result String::Append(int n) {
    return Append(static_cast<long long>(n));
}

result String::Append(long long n) {
    std::string digits = std::to_string(n);
    s_.append(digits.begin(), digits.end());
    return E_SUCCESS;
}

result String::Insert(const String& s, int index) {
    if (index < 0 || index > GetLength()) {
        return E_OUT_OF_RANGE;
    }
    s_.insert(static_cast<size_t>(index), s.s_);
    return E_SUCCESS;
}

result String::Remove(int index, int count) {
    if (index < 0 || count < 0 || index > GetLength() || count > GetLength() - index) {
        return E_OUT_OF_RANGE;
    }
    s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return E_SUCCESS;
}

result String::SubString(int start, String& out) const {
    return SubString(start, GetLength() - start, out);
}

result String::SubString(int start, int count, String& out) const {
    if (start < 0 || count < 0 || start > GetLength() || count > GetLength() - start) {
        return E_OUT_OF_RANGE;
    }
    out.s_ = s_.substr(static_cast<size_t>(start), static_cast<size_t>(count));
    return E_SUCCESS;
}

result String::IndexOf(wchar_t c, int start, int& index) const {
    if (start < 0 || start > GetLength()) {
        return E_OUT_OF_RANGE;
    }
    size_t at = s_.find(c, static_cast<size_t>(start));
    if (at == std::wstring::npos) {
        return E_FILE_NOT_FOUND;
    }
    index = static_cast<int>(at);
    return E_SUCCESS;
}

result String::IndexOf(const String& s, int start, int& index) const {
    if (start < 0 || start > GetLength()) {
        return E_OUT_OF_RANGE;
    }
    size_t at = s_.find(s.s_, static_cast<size_t>(start));
    if (at == std::wstring::npos) {
        return E_FILE_NOT_FOUND;
    }
    index = static_cast<int>(at);
    return E_SUCCESS;
}

result String::LastIndexOf(wchar_t c, int start, int& index) const {
    if (start < 0 || start >= GetLength()) {
        return E_OUT_OF_RANGE;
    }
    size_t at = s_.rfind(c, static_cast<size_t>(start));
    if (at == std::wstring::npos) {
        return E_FILE_NOT_FOUND;
    }
    index = static_cast<int>(at);
    return E_SUCCESS;
}

bool String::StartsWith(const String& s, int start) const {
    return start >= 0 && start <= GetLength() &&
           s_.compare(static_cast<size_t>(start), s.s_.size(), s.s_) == 0;
}

bool String::EndsWith(const String& s) const {
    return s.s_.size() <= s_.size() && s_.compare(s_.size() - s.s_.size(), s.s_.size(), s.s_) == 0;
}

result String::Replace(wchar_t from, wchar_t to) {
    for (wchar_t& c : s_) {
        if (c == from) {
            c = to;
        }
    }
    return E_SUCCESS;
}

result String::ToLower(String& out) const {
    out = *this;
    out.ToLowerCase();
    return E_SUCCESS;
}

result String::ToUpper(String& out) const {
    out = *this;
    out.ToUpperCase();
    return E_SUCCESS;
}

void String::ToLowerCase() {
    for (wchar_t& c : s_) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
}

void String::ToUpperCase() {
    for (wchar_t& c : s_) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
}

result String::Trim() {
    size_t first = 0;
    while (first < s_.size() && s_[first] <= L' ') {
        ++first;
    }
    size_t last = s_.size();
    while (last > first && s_[last - 1] <= L' ') {
        --last;
    }
    s_ = s_.substr(first, last - first);
    return E_SUCCESS;
}

result String::SetLength(int length) {
    if (length < 0) {
        return E_OUT_OF_RANGE;
    }
    s_.resize(static_cast<size_t>(length), L' ');
    return E_SUCCESS;
}

result String::Format(int maxLength, const wchar_t* format, ...) {
    if (format == nullptr || maxLength < 0) {
        return E_INVALID_ARG;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(maxLength) + 1);
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    buffer.back() = L'\0';
    // vswprintf reports -1 when the text was cut; what fits is kept, as the caller asked.
    s_ = buffer.data();
    return n < 0 && s_.empty() && maxLength > 0 ? E_INVALID_ARG : E_SUCCESS;
}

bool String::Equals(const String& other, bool caseSensitive) const {
    if (caseSensitive) {
        return s_ == other.s_;
    }
    if (s_.size() != other.s_.size()) {
        return false;
    }
    for (size_t i = 0; i < s_.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(s_[i])) != std::towlower(static_cast<wint_t>(other.s_[i]))) {
            return false;
        }
    }
    return true;
}

int String::CompareTo(const String& other) const {
    int c = s_.compare(other.s_);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int String::GetHashCode() const {
    // 31-based polynomial over the units, wrapping in 32 bits.
    unsigned int h = 0;
    for (wchar_t c : s_) {
        h = h * 31u + (static_cast<unsigned int>(c) & 0xFFFFu);
    }
    return static_cast<int>(h);
}

}  // namespace Osp::Base
