#include "platform/CalendarTime.h"

#include <ctime>

namespace platform {

int64_t MakeLocalTime64(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = 0;
    // mktime returns -1 both for failure and for 1969-12-31 23:59:59 UTC; the
    // latter lies outside the accepted span anyway.
    time_t t = std::mktime(&tm);
    if (t < 0 || static_cast<int64_t>(t) > kLastCalendarSecond) return -1;
    return static_cast<int64_t>(t);
}

}  // namespace platform
