#pragma once

#include <cstdint>

namespace tw {

// The device's SYSTEMTIME: eight 16-bit values, local time.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    bool isZero() const { return year == 0 && month == 0 && day == 0 && hour == 0 && minute == 0 && second == 0; }
    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual SystemTime localTime() = 0;
};

// The real local time.
class SystemClock final : public Clock {
public:
    SystemTime localTime() override;
};

// A clock for tests: always the time it was set to.
class FixedClock final : public Clock {
public:
    explicit FixedClock(SystemTime t) : m_time(t) {}
    SystemTime localTime() override { return m_time; }
    void set(SystemTime t) { m_time = t; }

private:
    SystemTime m_time;
};

// Converts seconds since 1970 (UTC) to a SystemTime in UTC, without local-time adjustment.
SystemTime systemTimeFromUnix(std::int64_t seconds, std::uint16_t milliseconds = 0);

}  // namespace tw
