#pragma once
// A string of 16-bit code units (UTF-16), held one unit per wchar_t element. Units are copied as they are:
// nothing here converts character sets; the host conversion happens only at the platform's edges.

#include <string>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base {

class String : public Object {
public:
    String() = default;
    String(const wchar_t* units);  // up to the first zero unit; null gives the empty string
    String(const wchar_t* units, int count);
    String(wchar_t unit);
    explicit String(const std::wstring& units) : s_(units) {}
    String(const String&) = default;
    String(String&&) noexcept = default;
    String& operator=(const String&) = default;
    String& operator=(String&&) noexcept = default;
    String& operator=(const wchar_t* units);
    ~String() override = default;

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    const wchar_t* GetPointer() const { return s_.c_str(); }
    result GetCharAt(int index, wchar_t& ch) const;
    wchar_t operator[](int index) const { return s_[static_cast<size_t>(index)]; }

    void Clear() { s_.clear(); }
    result Append(const String& s);
    result Append(const wchar_t* s);
    result Append(wchar_t c);
    result Append(int n);
    result Append(long long n);
    result Insert(const String& s, int index);
    result Remove(int index, int count);
    result SubString(int start, String& out) const;
    result SubString(int start, int count, String& out) const;
    result IndexOf(wchar_t c, int start, int& index) const;
    result IndexOf(const String& s, int start, int& index) const;
    result LastIndexOf(wchar_t c, int start, int& index) const;
    bool StartsWith(const String& s, int start) const;
    bool EndsWith(const String& s) const;
    result Replace(wchar_t from, wchar_t to);
    result ToLower(String& out) const;
    result ToUpper(String& out) const;
    void ToLowerCase();
    void ToUpperCase();
    result Trim();
    result SetLength(int length);

    // printf-style formatting of wide text; the result is cut to maxLength units.
    result Format(int maxLength, const wchar_t* format, ...);

    bool Equals(const String& other, bool caseSensitive = true) const;
    int CompareTo(const String& other) const;
    int GetHashCode() const;

    bool operator==(const String& o) const { return s_ == o.s_; }
    bool operator!=(const String& o) const { return s_ != o.s_; }
    bool operator<(const String& o) const { return s_ < o.s_; }
    String& operator+=(const String& o) {
        s_ += o.s_;
        return *this;
    }
    String& operator+=(const wchar_t* o) {
        Append(o);
        return *this;
    }
    String& operator+=(wchar_t c) {
        s_ += c;
        return *this;
    }
    friend String operator+(const String& a, const String& b) { return String(a.s_ + b.s_); }

    // The units as a standard wide string (one 16-bit unit per element).
    const std::wstring& Units() const { return s_; }

private:
    std::wstring s_;
};

}  // namespace Osp::Base
