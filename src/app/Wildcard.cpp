#include "app/Wildcard.h"

// Greedy matching with one remembered '*': when the units after the latest '*' fail to match, that '*'
// takes one more unit and matching starts again behind it. An earlier '*' never needs to be revisited,
// because the latest one can absorb whatever an earlier one would have, so this gives the same answers
// as trying every split recursively, without the exponential time or the deep stack.
bool MatchWildcard(const wchar_t* s, const wchar_t* pattern) {
    const wchar_t* star = nullptr;
    const wchar_t* starText = nullptr;
    while (*s != 0) {
        if (*pattern == L'*') {
            star = pattern++;
            starText = s;
        } else if (*pattern == L'?' || *pattern == *s) {
            ++pattern;
            ++s;
        } else if (star != nullptr) {
            pattern = star + 1;
            s = ++starText;
        } else {
            return false;
        }
    }
    while (*pattern == L'*') {
        ++pattern;
    }
    return *pattern == 0;
}
