#include "catalogue/QueryFilter.h"

#include <cstdio>
#include <cstring>

#include "platform/CalendarTime.h"
#include "platform/TextCodec.h"

bool SplitDate(std::u16string_view text, std::u16string& year, std::u16string& month, std::u16string& day) {
    if (text.empty()) return false;
    size_t first = text.find(u'-');
    if (first == std::u16string_view::npos) return false;
    size_t second = text.find(u'-', first + 1);
    if (second == std::u16string_view::npos) return false;
    year = text.substr(0, first);
    month = text.substr(first + 1, second - first - 1);
    day = text.substr(second + 1);
    return true;
}

int WildcardMatch(const char* pattern, const char* text) {
    const char* p = pattern;
    const char* t = text;
    while (*t && *p != '*') {
        if (*p != *t && *p != '?') return 0;
        ++p;
        ++t;
    }
    // From here on the pattern has met a '*' (or the text is used up), so the
    // resume point is always set before it is needed.
    const char* resume = p;
    const char* retry = t;
    while (*t) {
        if (*p == '*') {
            if (!*++p) return 1;
            resume = p;
            retry = t + 1;
        } else if (*p == *t || *p == '?') {
            ++p;
            ++t;
        } else {
            p = resume;
            t = retry++;
        }
    }
    while (*p == '*') ++p;
    return *p ? 0 : 1;
}

bool MatchesKeyword(const char* keyword, const char* phone) {
    if (!*keyword) return true;
    char pattern[260];
    std::snprintf(pattern, sizeof pattern, "*%s*", keyword);
    return WildcardMatch(pattern, phone) == 1;
}

namespace {

std::string Narrow(std::u16string_view wide) {
    std::string out;
    platform::WideToNarrow(wide, out);
    return out;
}

}  // namespace

bool MatchesCallType(const char* typeText, char callType) {
    static const struct {
        std::string text;
        CallType letter;
    } kTypes[] = {
        {Narrow(u"全部主叫"), CallType::Outgoing},
        {Narrow(u"全部被叫"), CallType::Incoming},
        {Narrow(u"全部留言"), CallType::Message},
        {Narrow(u"全部现场"), CallType::OnSite},
    };
    for (const auto& t : kTypes)
        if (t.text == typeText) return callType == static_cast<char>(t.letter);
    return false;
}

int64_t ScanDates::Midnight(int16_t year, int16_t month, int16_t day) {
    uint64_t key = static_cast<uint64_t>(static_cast<uint16_t>(year)) << 32 |
                   static_cast<uint64_t>(static_cast<uint16_t>(month)) << 16 | static_cast<uint16_t>(day);
    auto [it, added] = midnights_.try_emplace(key, 0);
    if (added) it->second = platform::MakeLocalTime64(year, month, day, 0, 0, 0);
    return it->second;
}

std::optional<std::u16string_view> DateFieldsMessage(const QueryFilter& filter) {
    auto outOfRange = [](int16_t value, unsigned highest) { return static_cast<uint16_t>(value - 1) > highest - 1; };
    // Days are checked before months, so only one message is shown.
    if (outOfRange(filter.startDay, 31) || outOfRange(filter.endDay, 31)) return kDayRangeMessage;
    if (outOfRange(filter.startMonth, 12) || outOfRange(filter.endMonth, 12)) return kMonthRangeMessage;
    return std::nullopt;
}

std::optional<std::u16string_view> CalendarSpanMessage(const QueryFilter& filter) {
    ScanDates dates;
    if (dates.Midnight(filter.startYear, filter.startMonth, filter.startDay) == -1) return kBadStartDateMessage;
    if (dates.Midnight(filter.endYear, filter.endMonth, filter.endDay) == -1) return kBadEndDateMessage;
    return std::nullopt;
}

bool InDateRange(const QueryFilter& filter, int16_t year, int16_t month, int16_t day, ScanDates& dates) {
    int64_t start = dates.Midnight(filter.startYear, filter.startMonth, filter.startDay);
    int64_t end = dates.Midnight(filter.endYear, filter.endMonth, filter.endDay);
    if (start == -1 || end == -1) return false;
    int64_t recorded = dates.Midnight(year, month, day);
    return start <= recorded && recorded <= end;
}

bool MatchesQuery(std::u16string_view folder, const QueryFilter& filter, char (&nameBuffer)[kNameBufferSize],
                  ScanDates& dates) {
    return MatchesQuery(RecordingFolder(folder), filter, nameBuffer, dates);
}

bool MatchesQuery(const RecordingFolder& folder, const QueryFilter& filter, char (&nameBuffer)[kNameBufferSize],
                  ScanDates& dates) {
    RecordingInfo info{};
    ReadRecordingHeader(folder, nameBuffer, info);
    return InfoMatchesQuery(filter, info, dates);
}

bool InfoMatchesQuery(const QueryFilter& filter, const RecordingInfo& info, ScanDates& dates) {
    if (!InDateRange(filter, info.year, info.month, info.day, dates)) return false;
    static const std::string allTypes = Narrow(kAllTypesText);
    if (allTypes != filter.typeText && !MatchesCallType(filter.typeText, info.callType)) return false;
    return MatchesKeyword(filter.keyword, info.phone);
}
