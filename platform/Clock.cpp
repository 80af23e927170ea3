#include "platform/Clock.h"

#include <sys/time.h>

#include <ctime>

namespace tw {
namespace {

SystemTime fromTm(const std::tm& tm, std::uint16_t ms) {
    SystemTime t;
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec);
    t.milliseconds = ms;
    return t;
}

}  // namespace

SystemTime SystemClock::localTime() {
    timeval tv{};
    ::gettimeofday(&tv, nullptr);
    std::tm tm{};
    const time_t secs = tv.tv_sec;
    ::localtime_r(&secs, &tm);
    return fromTm(tm, static_cast<std::uint16_t>(tv.tv_usec / 1000));
}

SystemTime systemTimeFromUnix(std::int64_t seconds, std::uint16_t milliseconds) {
    std::tm tm{};
    const time_t secs = static_cast<time_t>(seconds);
    ::gmtime_r(&secs, &tm);
    return fromTm(tm, milliseconds);
}

}  // namespace tw
