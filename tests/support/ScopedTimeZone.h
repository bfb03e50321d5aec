#pragma once
// Sets TZ for the life of the object and puts the previous value back; the C
// library rereads it each time.

#include <ctime>
#include <optional>

#include "tests/support/ScopedEnvironment.h"

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        tz_.emplace("TZ", tz);
        tzset();
    }
    ~ScopedTimeZone() {
        tz_.reset();
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<ScopedEnvironment> tz_;
};
