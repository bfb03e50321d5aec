#pragma once
// The 64-bit local calendar time the query compares dates with.

#include <cstdint>

namespace platform {

// Seconds of 3000-12-31 23:59:59 UTC: the last instant the conversion accepts.
inline constexpr int64_t kLastCalendarSecond = 32535215999;

// Local time to seconds since 1970-01-01 00:00:00 UTC, normalising fields that
// lie outside their range (30 February becomes 2 March), with daylight saving
// taken as off. Returns -1 when the instant lies before 1970-01-01 00:00:00 UTC
// or after kLastCalendarSecond, or cannot be converted.
int64_t MakeLocalTime64(int year, int month, int day, int hour, int minute, int second);

}  // namespace platform
