#include "app/PasswordHash.h"

#include <nettle/memops.h>
#include <nettle/pbkdf2.h>

#include <random>

#include "app/Wipe.h"

namespace {

constexpr wchar_t kScheme[] = L"pbkdf2-sha256";
constexpr wchar_t kSeparator = L'$';
constexpr std::size_t kSaltSize = 16;
// What a stored record may hold: a count that keeps one check between a trifle and a few seconds, and a
// salt of reasonable size.
constexpr unsigned int kMinIterations = 10000;
constexpr unsigned int kMaxIterations = 20000000;
constexpr std::size_t kMinSaltSize = 8;
constexpr std::size_t kMaxSaltSize = 64;
constexpr std::size_t kMaxRecordLength = 256;

std::wstring ToHex(const unsigned char* data, std::size_t size) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[data[i] >> 4];
        hex += kDigits[data[i] & 0xF];
    }
    return hex;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return -1;
}

bool FromHex(const std::wstring& hex, std::vector<unsigned char>& out) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return true;
}

// Decimal digits only, no sign, no leading zero, within the bounds.
bool ParseIterations(const std::wstring& text, unsigned int& out) {
    if (text.empty() || text.size() > 9 || text[0] == L'0') {
        return false;
    }
    unsigned long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(c - L'0');
    }
    if (value < kMinIterations || value > kMaxIterations) {
        return false;
    }
    out = static_cast<unsigned int>(value);
    return true;
}

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(kSeparator, start);
        fields.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) {
            return fields;
        }
        start = end + 1;
    }
}

}  // namespace

PasswordHash PasswordHash::Make(const std::wstring& password, unsigned int iterations) {
    PasswordHash hash;
    hash.iterations_ = iterations;
    std::random_device random;
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < kSaltSize; ++i) {
        hash.salt_.push_back(static_cast<unsigned char>(byte(random)));
    }
    Derive(password, iterations, hash.salt_, hash.key_);
    return hash;
}

bool PasswordHash::Parse(const std::wstring& text, PasswordHash& out) {
    if (text.size() > kMaxRecordLength) {
        return false;
    }
    const std::vector<std::wstring> fields = Split(text);
    if (fields.size() != 4 || fields[0] != kScheme) {
        return false;
    }
    PasswordHash hash;
    std::vector<unsigned char> key;
    if (!ParseIterations(fields[1], hash.iterations_) || !FromHex(fields[2], hash.salt_) ||
        !FromHex(fields[3], key)) {
        return false;
    }
    if (hash.salt_.size() < kMinSaltSize || hash.salt_.size() > kMaxSaltSize || key.size() != kKeySize) {
        return false;
    }
    std::copy(key.begin(), key.end(), hash.key_.begin());
    out = std::move(hash);
    return true;
}

std::wstring PasswordHash::ToString() const {
    std::wstring text = kScheme;
    text += kSeparator;
    text += std::to_wstring(iterations_);
    text += kSeparator;
    text += ToHex(salt_.data(), salt_.size());
    text += kSeparator;
    text += ToHex(key_.data(), key_.size());
    return text;
}

bool PasswordHash::Matches(const std::wstring& password) const {
    Key key;
    Derive(password, iterations_, salt_, key);
    const bool same = memeql_sec(key.data(), key_.data(), kKeySize) != 0;
    WipeBytes(key.data(), key.size());
    return same;
}

void PasswordHash::Derive(const std::wstring& password, unsigned int iterations,
                          const std::vector<unsigned char>& salt, Key& out) {
    std::vector<unsigned char> units;
    units.reserve(password.size() * 2);
    for (wchar_t unit : password) {
        units.push_back(static_cast<unsigned char>(unit & 0xFF));
        units.push_back(static_cast<unsigned char>((unit >> 8) & 0xFF));
    }
    pbkdf2_hmac_sha256(units.size(), units.data(), iterations, salt.size(), salt.data(), out.size(),
                       out.data());
    Wipe(units);
}
