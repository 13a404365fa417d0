#include "app/PrivatePassword.h"

#include <nettle/memops.h>

#include "app/RegValue.h"
#include "app/Results.h"
#include "app/Wipe.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kHashKey[] = L"PwdHash";
constexpr wchar_t kPlainKey[] = L"Pwd";

// Equal texts, compared in time that depends only on their lengths.
bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && memeql_sec(a.data(), b.data(), a.size() * sizeof(wchar_t)) != 0;
}

enum TRead { ABSENT, READ, UNREADABLE };

// A key of another type than text is there but unreadable, as much as text that does not parse.
TRead ReadText(const Osp::Io::Registry& reg, const String& section, const wchar_t* key, String& text) {
    const unsigned long r = reg.GetValue(section, String(key), text);
    if (r == RES_OK) {
        return READ;
    }
    return r == RES_KEY_NOT_FOUND || r == RES_NO_SUCH_ENTRY ? ABSENT : UNREADABLE;
}

}  // namespace

PrivatePassword::~PrivatePassword() {
    ForgetPlain();
}

void PrivatePassword::Load(const Osp::Io::Registry& reg, const String& section) {
    ForgetPlain();
    String text;
    switch (ReadText(reg, section, kHashKey, text)) {
        case READ:
            state_ = PasswordHash::Parse(text.Units(), hash_) ? HASHED : DAMAGED;
            return;
        case UNREADABLE:
            state_ = DAMAGED;
            return;
        case ABSENT:
            break;
    }
    switch (ReadText(reg, section, kPlainKey, text)) {
        case READ:
            plain_ = text.Units();
            state_ = plain_.empty() ? NONE : PLAIN;
            break;
        case UNREADABLE:
            state_ = DAMAGED;
            break;
        case ABSENT:
            state_ = NONE;
            break;
    }
}

void PrivatePassword::Save(Osp::Io::Registry& reg, const String& section) const {
    if (state_ == DAMAGED || state_ == PLAIN) {
        return;
    }
    SetRegValue(reg, section, String(kHashKey), String(state_ == HASHED ? hash_.ToString() : std::wstring()));
    SetRegValue(reg, section, String(kPlainKey), String());
}

PrivatePassword::TCheck PrivatePassword::Check(const std::wstring& typed) {
    switch (state_) {
        case NONE:
            return MATCH;
        case DAMAGED:
            return UNREADABLE;
        case HASHED:
            return hash_.Matches(typed) ? MATCH : MISMATCH;
        case PLAIN:
            if (!SameText(typed, plain_)) {
                return MISMATCH;
            }
            Set(typed);
            return MATCH;
    }
    return MISMATCH;
}

void PrivatePassword::Set(const std::wstring& password) {
    ForgetPlain();
    if (password.empty()) {
        state_ = NONE;
        return;
    }
    hash_ = PasswordHash::Make(password);
    state_ = HASHED;
}

void PrivatePassword::ForgetPlain() {
    Wipe(plain_);
}
