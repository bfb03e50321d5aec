#include "platform/CalendarTime.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedTimeZone.h"

using platform::MakeLocalTime64;

TEST(CalendarTime, SpanEndsInUtc) {
    ScopedTimeZone tz("UTC0");
    EXPECT_EQ(MakeLocalTime64(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(MakeLocalTime64(3000, 12, 31, 23, 59, 59), platform::kLastCalendarSecond);
    EXPECT_EQ(MakeLocalTime64(3001, 1, 1, 0, 0, 0), -1);
    EXPECT_EQ(MakeLocalTime64(1969, 12, 31, 23, 59, 59), -1);
    EXPECT_EQ(MakeLocalTime64(1969, 12, 31, 0, 0, 0), -1);
}

TEST(CalendarTime, OutOfRangeFieldsAreNormalised) {
    ScopedTimeZone tz("UTC0");
    EXPECT_EQ(MakeLocalTime64(2017, 2, 30, 0, 0, 0), MakeLocalTime64(2017, 3, 2, 0, 0, 0));
    EXPECT_EQ(MakeLocalTime64(2016, 13, 1, 0, 0, 0), MakeLocalTime64(2017, 1, 1, 0, 0, 0));
    EXPECT_EQ(MakeLocalTime64(2017, 3, 0, 0, 0, 0), MakeLocalTime64(2017, 2, 28, 0, 0, 0));
}

TEST(CalendarTime, LocalZoneShiftsTheSpan) {
    // East of Greenwich, local midnight of 1970-01-01 lies before the epoch.
    ScopedTimeZone tz("CST-8");
    EXPECT_EQ(MakeLocalTime64(1970, 1, 1, 0, 0, 0), -1);
    EXPECT_EQ(MakeLocalTime64(1970, 1, 1, 8, 0, 0), 0);
    EXPECT_EQ(MakeLocalTime64(2017, 3, 5, 0, 0, 0), 1488643200);  // 2017-03-04 16:00 UTC
    // West of it, the last local day of 3000 ends after the span.
    ScopedTimeZone west("EST5");
    EXPECT_EQ(MakeLocalTime64(3000, 12, 31, 19, 0, 0), -1);
    EXPECT_EQ(MakeLocalTime64(3000, 12, 31, 18, 59, 59), platform::kLastCalendarSecond);
}

TEST(CalendarTime, DaylightSavingIsTakenAsOff) {
    // In a zone with summer time, a summer date is still converted as
    // standard time: one hour later than the zone's own reading.
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(MakeLocalTime64(2017, 7, 1, 0, 0, 0), 1498863600);  // 2017-06-30 23:00 UTC
}
