#include "app/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Wildcard, Matches) {
    struct Case {
        const wchar_t* s;
        const wchar_t* pattern;
        bool match;
    };
    const Case cases[] = {
        {L"abc", L"a?c", true},
        {L"abc", L"*c", true},
        {L"abc", L"A*", false},
        {L"", L"", true},
        {L"a", L"", false},
        {L"", L"*", true},
        {L"anything", L"*", true},
        {L"", L"?", false},
        {L"ab", L"a?c", false},
        {L"abc", L"abc", true},
        {L"abcd", L"abc", false},
        {L"abc", L"abcd", false},
        {L"abc", L"a**c", true},
        {L"abc", L"*?*?*?", true},
        {L"ab", L"*?*?*?", false},
        {L"xaxbyc", L"*a*b*c", true},
        {L"abcbc", L"*bc", true},
        {L"abcbd", L"*bc", false},
        {L"mississippi", L"m*iss*ppi", true},
        {L"mississippi", L"m*issx*", false},
        {L"photo.JPG", L"*.jpg", false},
        {L"a*b", L"a\\*b", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(MatchWildcard(cases[i].s, cases[i].pattern), cases[i].match) << "case " << i;
    }
}

// A naive recursive matcher takes exponential time on these and recurses once per '*'.
TEST(Wildcard, ManyStarsAgainstALongStringFinishQuickly) {
    const std::wstring text(100000, L'a');
    std::wstring pattern;
    for (int i = 0; i < 40; ++i) {
        pattern += L"*a";
    }
    EXPECT_TRUE(MatchWildcard(text.c_str(), pattern.c_str()));
    EXPECT_FALSE(MatchWildcard(text.c_str(), (pattern + L"b").c_str()));

    const std::wstring stars(100000, L'*');
    EXPECT_TRUE(MatchWildcard(text.c_str(), stars.c_str()));
    EXPECT_FALSE(MatchWildcard(text.c_str(), (stars + L"b").c_str()));
}

}  // namespace
