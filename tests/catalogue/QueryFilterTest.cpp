#include "catalogue/QueryFilter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TempFolder.h"

namespace {

// Records the message boxes shown while it lives.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = platform::SetMessageBoxHandler([this](std::u16string_view t) { texts.emplace_back(t); });
    }
    ~MessageRecorder() { platform::SetMessageBoxHandler(previous_); }
    std::vector<std::u16string> texts;

private:
    platform::MessageBoxHandler previous_;
};

QueryFilter Dates(int16_t y1, int16_t m1, int16_t d1, int16_t y2, int16_t m2, int16_t d2) {
    QueryFilter f{};
    f.startYear = y1, f.startMonth = m1, f.startDay = d1;
    f.endYear = y2, f.endMonth = m2, f.endDay = d2;
    return f;
}

std::string Narrow(std::u16string_view text) {
    std::string out;
    EXPECT_TRUE(platform::WideToNarrow(text, out));
    return out;
}

}  // namespace

TEST(SplitDate, Table) {
    struct Case {
        std::u16string text;
        bool ok;
        std::u16string y, m, d;
    } cases[] = {
        {u"2017-03-05", true, u"2017", u"03", u"05"},
        {u"2017-3-5-9", true, u"2017", u"3", u"5-9"},
        {u"--", true, u"", u"", u""},
        {u"2017-03", false, u"", u"", u""},
        {u"2017/03/05", false, u"", u"", u""},
        {u"", false, u"", u"", u""},
    };
    for (const Case& c : cases) {
        std::u16string y, m, d;
        EXPECT_EQ(SplitDate(c.text, y, m, d), c.ok);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
}

TEST(WildcardMatch, Table) {
    struct Case {
        const char* pattern;
        const char* text;
        int match;
    } cases[] = {
        {"*38*", "138", 1},     {"*38*", "380", 1},      {"*38*", "3128", 0},   {"*1?3*", "123", 1},
        {"*1?3*", "9123", 1},   {"*1?3*", "13", 0},
        // '?' needs a character of its own: 913 holds no 1?3.
        {"*1?3*", "913", 0},      {"**", "", 1},         {"*5*", "", 0},
        {"**", "12345", 1},     {"***", "", 1},          {"*", "x", 1},         {"123", "123", 1},
        {"123", "1234", 0},     {"1234", "123", 0},      {"?", "", 0},          {"a*b*c", "aXbYc", 1},
        {"a*b*c", "aXbY", 0},   {"*aab", "aaab", 1},     {"*ab*ab", "abXab", 1}, {"*0755-*", "0755-8888", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
}

TEST(MatchesKeyword, KeywordStandsAnywhereInTheNumber) {
    EXPECT_TRUE(MatchesKeyword("", ""));
    EXPECT_TRUE(MatchesKeyword("", "138"));
    EXPECT_TRUE(MatchesKeyword("38", "138"));
    EXPECT_TRUE(MatchesKeyword("38", "380"));
    EXPECT_FALSE(MatchesKeyword("38", ""));
    EXPECT_TRUE(MatchesKeyword("*", ""));
    EXPECT_TRUE(MatchesKeyword("**", ""));
    EXPECT_FALSE(MatchesKeyword("?", ""));
    EXPECT_TRUE(MatchesKeyword("1?3", "123"));
    EXPECT_FALSE(MatchesKeyword("1?3", "913"));
    // A keyword longer than a number can be still fits the pattern buffer.
    EXPECT_FALSE(MatchesKeyword("1234567890123456789012345678901", "12345"));
}

TEST(MatchesCallType, OnlyTheFourTypeTextsPass) {
    struct Case {
        std::u16string type;
        char letter;
        bool pass;
    } cases[] = {
        {u"全部主叫", 'Z', true},  {u"全部主叫", 'B', false}, {u"全部被叫", 'B', true},
        {u"全部留言", 'L', true},  {u"全部现场", 'X', true},  {u"全部现场", 'Z', false},
        {u"主叫", 'Z', false},     {u"全部类型", 'Z', false}, {u"", 'Z', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesCallType(Narrow(c.type).c_str(), c.letter), c.pass) << c.letter;
}

TEST(InDateRange, ByDayWithBothEndsIncluded) {
    ScopedTimeZone tz("UTC0");
    ScanDates latch;
    QueryFilter day = Dates(2017, 3, 5, 2017, 3, 5);
    EXPECT_TRUE(InDateRange(day, 2017, 3, 5, latch));
    EXPECT_FALSE(InDateRange(day, 2017, 3, 4, latch));
    EXPECT_FALSE(InDateRange(day, 2017, 3, 6, latch));
    QueryFilter defaults = Dates(1971, 1, 1, 3000, 1, 1);
    EXPECT_TRUE(InDateRange(defaults, 1971, 1, 1, latch));
    EXPECT_TRUE(InDateRange(defaults, 3000, 1, 1, latch));
    EXPECT_FALSE(InDateRange(defaults, 1970, 12, 31, latch));
    // An unread header (all zero) fails the conversion and is rejected.
    EXPECT_FALSE(InDateRange(Dates(1970, 1, 1, 3000, 1, 1), 0, 0, 0, latch));
    // 30 February 2017 is 2 March.
    QueryFilter feb30 = Dates(2017, 2, 30, 2017, 12, 31);
    EXPECT_TRUE(InDateRange(feb30, 2017, 3, 2, latch));
    EXPECT_FALSE(InDateRange(feb30, 2017, 3, 1, latch));
    // The recording's own fields are normalised the same way.
    EXPECT_TRUE(InDateRange(Dates(2017, 3, 2, 2017, 3, 2), 2017, 2, 30, latch));
}

TEST(QueryDates, AreCheckedInOrderBeforeAnyScan) {
    ScopedTimeZone tz("UTC0");
    struct Case {
        const char* what;
        QueryFilter filter;
        std::optional<std::u16string_view> fields, span;
    };
    const Case cases[] = {
        {"good dates", Dates(1971, 1, 1, 3000, 1, 1), std::nullopt, std::nullopt},
        {"day 0", Dates(2017, 3, 0, 2017, 3, 5), kDayRangeMessage, std::nullopt},
        {"day 32 with month 13: the day only", Dates(2017, 13, 32, 2017, 3, 5), kDayRangeMessage, std::nullopt},
        {"end month 13", Dates(2017, 3, 5, 2017, 13, 5), kMonthRangeMessage, std::nullopt},
        {"start 1969-12-31", Dates(1969, 12, 31, 3000, 1, 1), std::nullopt, kBadStartDateMessage},
        {"end 3001-01-01", Dates(1971, 1, 1, 3001, 1, 1), std::nullopt, kBadEndDateMessage},
        {"both outside: the start's", Dates(1969, 12, 31, 3001, 1, 1), std::nullopt, kBadStartDateMessage},
    };
    MessageRecorder messages;
    for (const Case& c : cases) {
        EXPECT_EQ(DateFieldsMessage(c.filter), c.fields) << c.what;
        EXPECT_EQ(CalendarSpanMessage(c.filter), c.span) << c.what;
    }
    // The scan's own test rejects such dates without a word: no worker waits
    // on a message box.
    ScanDates latch;
    EXPECT_FALSE(InDateRange(Dates(1969, 12, 31, 3000, 1, 1), 2017, 3, 5, latch));
    EXPECT_FALSE(InDateRange(Dates(1971, 1, 1, 3001, 1, 1), 2017, 3, 5, latch));
    EXPECT_TRUE(messages.texts.empty());
}

TEST(QueryDates, TheLocalZoneDecidesWhereTheCalendarStarts) {
    // At UTC+8, local midnight of 1970-01-01 lies before the epoch.
    ScopedTimeZone tz("CST-8");
    EXPECT_EQ(CalendarSpanMessage(Dates(1970, 1, 1, 3000, 1, 1)), kBadStartDateMessage);
    EXPECT_EQ(CalendarSpanMessage(Dates(1970, 1, 2, 3000, 1, 1)), std::nullopt);
}

TEST(MatchesQuery, CombinesDateTypeAndKeyword) {
    ScopedTimeZone tz("UTC0");
    TempFolder dir;
    WriteRecording(dir.Str(), "VOC00001.wav", {'Z', "13812345678", 2017, 3, 5, 9, 7});
    QueryFilter f = Dates(2017, 3, 5, 2017, 3, 5);
    auto matches = [&](const std::u16string& type, const char* keyword) {
        std::strcpy(f.typeText, Narrow(type).c_str());
        std::strcpy(f.keyword, keyword);
        char name[kNameBufferSize] = "VOC00001.wav";
        ScanDates latch;
        return MatchesQuery(dir.Wide(), f, name, latch);
    };
    EXPECT_TRUE(matches(u"全部类型", ""));
    EXPECT_TRUE(matches(u"全部主叫", "1234"));
    EXPECT_FALSE(matches(u"全部被叫", ""));
    EXPECT_FALSE(matches(u"全部类型", "999"));
    EXPECT_FALSE(matches(u"主叫", ""));
    f.startDay = 6, f.endDay = 6;
    EXPECT_FALSE(matches(u"全部类型", ""));
}
