#include "app/Time.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "Osp/Locales/Locales.h"

namespace {

using Osp::Base::DateTime;

SFileTime FileTime(unsigned long long units) {
    return {static_cast<unsigned int>(units), static_cast<unsigned int>(units >> 32)};
}

TEST(Time, FiletimeToDateTime) {
    struct Case {
        unsigned long long units;
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {
        {116444736000000000ull, 1970, 1, 1, 0, 0, 0},
        // 29 February 2024 12:34:56 and a fraction of a second, which is dropped.
        {(1709210096ull + 11644473600ull) * 10000000ull + 1234567, 2024, 2, 29, 12, 34, 56},
        // These used to wrap around a 32-bit count of seconds: a zero time from an archive read as 2009.
        {0, 1601, 1, 1, 0, 0, 0},
        {(4294967296ull + 11644473600ull) * 10000000ull, 2106, 2, 7, 6, 28, 16},
        {0xFFFFFFFFFFFFFFFFull, 9999, 12, 31, 23, 59, 59},
    };
    for (const Case& c : cases) {
        DateTime out;
        FiletimeToDateTime(FileTime(c.units), out);
        EXPECT_EQ(out.GetYear(), c.year) << c.units;
        EXPECT_EQ(out.GetMonth(), c.month) << c.units;
        EXPECT_EQ(out.GetDay(), c.day) << c.units;
        EXPECT_EQ(out.GetHour(), c.hour) << c.units;
        EXPECT_EQ(out.GetMinute(), c.minute) << c.units;
        EXPECT_EQ(out.GetSecond(), c.second) << c.units;
        EXPECT_EQ(out.GetMillisecond(), 0) << c.units;
    }
}

TEST(Time, NormaliseTzOffset) {
    struct Case {
        int offset;
        int seconds;
    };
    const Case cases[] = {
        {0, 0},
        {60, 3600},
        {-300, -18000},
        {-720, -43200},
        {840, 50400},
        {1799, 107940},
        {1800, 1800},
        {3600, 3600},
        {86400, 86400},
        {86401, 86},
        {3600000, 3600},
        {INT_MAX, INT_MAX / 1000},
        {INT_MIN, -86400},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormaliseTzOffset(c.offset), c.seconds) << c.offset;
    }
}

// Sets the host's time zone for one test and puts the previous one back.
class TimeZoneTest : public ::testing::Test {
protected:
    void SetZone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void SetUp() override {
        const char* previous = std::getenv("TZ");
        hadZone_ = previous != nullptr;
        previous_ = hadZone_ ? previous : "";
    }
    void TearDown() override {
        if (hadZone_) {
            ::setenv("TZ", previous_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    bool hadZone_ = false;
    std::string previous_;
};

TEST_F(TimeZoneTest, OffsetIsInSecondsEastPositive) {
    SetZone("UTC-3");  // POSIX signs are west positive: this zone is three hours east of UTC.
    EXPECT_EQ(GetTzOffset(), 3 * 3600);
    SetZone("UTC+5:30");
    EXPECT_EQ(GetTzOffset(), -(5 * 3600 + 30 * 60));
}

// The shown date uses the offset in force at the file's own date, so summer dates show summer time.
TEST_F(TimeZoneTest, FileDateIsWallClockTimeAtThatDate) {
    SetZone("CET-1CEST,M3.5.0,M10.5.0/3");
    std::unique_ptr<Osp::Locales::DateTimeFormatter> formatter(
        Osp::Locales::DateTimeFormatter::CreateDateTimeFormatterN(
            Osp::Locales::LocaleManager().GetSystemLocale(), Osp::Locales::DATE_TIME_STYLE_SHORT,
            Osp::Locales::DATE_TIME_STYLE_SHORT));
    struct Case {
        int month;
        int wallHour;
    };
    for (const Case& c : {Case{1, 11}, Case{7, 12}}) {
        DateTime utc;
        utc.SetValue(2023, c.month, 15, 10, 20, 0);
        DateTime wall;
        wall.SetValue(2023, c.month, 15, c.wallHour, 20, 0);
        Osp::Base::String expected;
        formatter->Format(wall, expected);

        Osp::Base::String shown;
        FormatFileDate(&shown, utc);
        EXPECT_EQ(shown, expected) << "month " << c.month;
    }
}

}  // namespace
