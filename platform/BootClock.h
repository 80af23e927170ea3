#pragma once

#include <cstdint>

namespace tw {

// Milliseconds on a clock that is never set back and keeps counting while the machine sleeps, as
// an idle time must be measured: setting the wall clock back cannot make a wallet look busy, and a
// suspend counts as time without activity.
class ElapsedClock {
public:
    virtual ~ElapsedClock() = default;
    virtual std::int64_t nowMs() = 0;
};

// CLOCK_BOOTTIME.
class BootClock final : public ElapsedClock {
public:
    std::int64_t nowMs() override;
};

// A clock for tests: stands still until moved.
class ManualElapsedClock final : public ElapsedClock {
public:
    std::int64_t nowMs() override { return m_now; }
    void set(std::int64_t ms) { m_now = ms; }
    void advance(std::int64_t ms) { m_now += ms; }

private:
    std::int64_t m_now = 1'000'000;
};

}  // namespace tw
