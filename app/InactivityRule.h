#pragma once

#include <cstdint>

namespace tw::app {

// When an open wallet closes itself: after its interval (whole minutes; 0 never) without user
// activity, and never before one full minute. Times are milliseconds of an ElapsedClock
// (platform/BootClock.h), which the user cannot set back and which counts a suspend.
class InactivityRule {
public:
    static constexpr std::int64_t kMinute = 60'000;
    // How often the window checks the rule while a wallet with an interval is open.
    static constexpr int kTimerMs = 10'000;

    void setInterval(std::uint32_t minutes) { m_minutes = minutes; }
    std::uint32_t interval() const { return m_minutes; }
    void touch(std::int64_t nowMs) { m_last = nowMs; }
    std::int64_t lastActivity() const { return m_last; }
    // True when the wallet must close now.
    bool due(std::int64_t nowMs) const {
        if (m_minutes == 0) return false;
        const std::int64_t elapsed = nowMs - m_last;
        return elapsed >= kMinute && elapsed >= static_cast<std::int64_t>(m_minutes) * kMinute;
    }

private:
    std::uint32_t m_minutes = 0;
    std::int64_t m_last = 0;
};

}  // namespace tw::app
