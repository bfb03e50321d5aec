#pragma once
// Sets TZ for the life of the object and puts the previous value back.

#include <cstdlib>
#include <ctime>
#include <string>

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
            hadPrevious_ = true;
        }
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadPrevious_)
            setenv("TZ", previous_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string previous_;
    bool hadPrevious_ = false;
};
