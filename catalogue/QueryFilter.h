#pragma once
// The query panel's filter and the tests the filtered scan applies with it to
// every recording of the folder.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "catalogue/RecordingHeader.h"

// Texts are CP936, as the recording headers hold them; the call-type texts
// are compared in that form.
struct QueryFilter {
    int16_t startYear;
    int16_t startMonth;
    int16_t startDay;
    int16_t endYear;
    int16_t endMonth;
    int16_t endDay;
    char typeText[32];  // at most 15 characters from the type box
    char keyword[32];   // at most 31 characters from the keyword field
};

// The query's messages.
inline constexpr std::u16string_view kDayRangeMessage = u"提示：查询设置中“日期”取值区间为[1 - 31]";
inline constexpr std::u16string_view kMonthRangeMessage = u"提示：查询设备中“月份”取值区间为[1 - 12]";
inline constexpr std::u16string_view kBadStartDateMessage = u"输入查询的开始日期有误，请重新输入！";
inline constexpr std::u16string_view kBadEndDateMessage = u"输入查询的结束日期有误，请重新输入！";

// The type texts of the query panel.
inline constexpr std::u16string_view kAllTypesText = u"全部类型";

// Splits "year-month-day" at its first two '-'; the day part is the rest of
// the text and may hold further '-'. Fails on an empty text or fewer than two
// '-', leaving the parts untouched.
bool SplitDate(std::u16string_view text, std::u16string& year, std::u16string& month, std::u16string& day);

// '*' matches any run of characters (none too), '?' exactly one; bytes are
// compared exactly. Returns 1 on a match, 0 otherwise.
int WildcardMatch(const char* pattern, const char* text);

// True when keyword is empty or "*keyword*" matches phone.
bool MatchesKeyword(const char* keyword, const char* phone);

// True when typeText is one of the four "全部..." texts and names the
// recording's letter; any other text lets nothing pass.
bool MatchesCallType(const char* typeText, char callType);

// The query's checks of the filter's dates, made before it scans, each giving
// the message of the first check that fails, none when all pass. The fields:
// days in 1..31, then months in 1..12.
std::optional<std::u16string_view> DateFieldsMessage(const QueryFilter& filter);
// The start and then the end date within the calendar's span (local
// midnight from 1970-01-01 00:00:00 UTC to 3000-12-31).
std::optional<std::u16string_view> CalendarSpanMessage(const QueryFilter& filter);

// What one filtered scan remembers about dates from one recording to the
// next: the days it has converted to calendar instants already (recordings
// of one day are many, and each conversion consults the time zone).
struct ScanDates {
    // Local midnight of a day as MakeLocalTime64 gives it, -1 for failure.
    int64_t Midnight(int16_t year, int16_t month, int16_t day);

private:
    std::unordered_map<uint64_t, int64_t> midnights_;
};

// True when the recording's day lies within the filter's dates, both ends
// included. A start or end date outside the calendar's span (which the query
// refuses before scanning) or a recording date outside it rejects.
bool InDateRange(const QueryFilter& filter, int16_t year, int16_t month, int16_t day, ScanDates& dates);

// The filtered scan's test of one recording: reads its header (writing the
// summary into nameBuffer) and checks date range, call type and keyword.
bool MatchesQuery(std::u16string_view folder, const QueryFilter& filter, char (&nameBuffer)[kNameBufferSize],
                  ScanDates& dates);
bool MatchesQuery(const RecordingFolder& folder, const QueryFilter& filter, char (&nameBuffer)[kNameBufferSize],
                  ScanDates& dates);

// The tests of MatchesQuery on a recording's info as ReadRecordingHeader
// filled it (all zero for a recording that could not be read).
bool InfoMatchesQuery(const QueryFilter& filter, const RecordingInfo& info, ScanDates& dates);
