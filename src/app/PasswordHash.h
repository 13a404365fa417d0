#pragma once
// A password kept only as what it derives: PBKDF2 with HMAC-SHA256 over the password's UTF-16LE units, a
// random salt and an iteration count, stored as one line of text,
//     pbkdf2-sha256$<iterations>$<salt in hex>$<derived key in hex>
// The count is part of the record, so that a record made with another count still checks; new records
// take kIterations, chosen so that one derivation costs about a tenth of a second on a desktop.
//
// A value type; any thread may use its own objects. Parse reads text from the settings file and accepts
// only a record within the bounds below; anything else is refused, never half read.

#include <array>
#include <string>
#include <vector>

class PasswordHash {
public:
    static constexpr unsigned int kIterations = 600000;

    // A new record of the password with a fresh random salt.
    static PasswordHash Make(const std::wstring& password, unsigned int iterations = kIterations);
    // False, with out unchanged, unless text is a whole record in bounds.
    static bool Parse(const std::wstring& text, PasswordHash& out);

    std::wstring ToString() const;
    // Derives the password's key with the record's salt and count and compares it with the stored one in
    // time that does not depend on where they differ.
    bool Matches(const std::wstring& password) const;
    unsigned int GetIterations() const { return iterations_; }

private:
    static constexpr std::size_t kKeySize = 32;
    using Key = std::array<unsigned char, kKeySize>;

    static void Derive(const std::wstring& password, unsigned int iterations,
                       const std::vector<unsigned char>& salt, Key& out);

    unsigned int iterations_ = 0;
    std::vector<unsigned char> salt_;
    Key key_{};
};
