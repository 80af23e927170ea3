#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Prompt.h"

namespace tw::app {

// Password boxes take 24 characters, of which the first 23 are the password, so that a password
// typed with 24 characters opens the wallet it was set on.
inline constexpr int kPasswordBoxLimit = 24;
inline constexpr std::size_t kPasswordTaken = 23;
inline constexpr std::size_t kMinNewPassword = 3;
inline constexpr int kHintLimit = 255;
// Password dialogs cancel themselves after this many seconds without a successful entry.
inline constexpr int kAutoCancelSeconds = 120;
// The hint is offered once, after more than this many wrong passwords.
inline constexpr int kHintAfterFailures = 4;

// The password a box's text stands for: its first 23 code units.
inline std::u16string_view takenPassword(std::u16string_view box) {
    return box.substr(0, kPasswordTaken);
}

// Wrong attempts in one password entry dialog.
class PasswordAttempts {
public:
    // Counts a wrong password; true when the hint is to be offered now (the fifth failure),
    // which happens once per dialog.
    bool failed() {
        ++m_failures;
        if (m_failures <= kHintAfterFailures || m_hintOffered) return false;
        m_hintOffered = true;
        return true;
    }
    int failures() const { return m_failures; }

private:
    int m_failures = 0;
    bool m_hintOffered = false;
};

// The countdown of a password dialog: one tick per second.
class AutoCancel {
public:
    // True when the time has run out with this tick.
    bool tick() { return m_left > 0 && --m_left == 0; }
    void reset() { m_left = kAutoCancelSeconds; }
    int secondsLeft() const { return m_left; }

private:
    int m_left = kAutoCancelSeconds;
};

// A refusal of the new-password dialog: the message's string id, title id and icon.
struct PasswordRefusal {
    std::uint32_t textId;
    std::uint32_t captionId;
    Icon icon;
    bool operator==(const PasswordRefusal&) const = default;
};

// Checks a new password against its confirmation (both as taken from their boxes), in this
// order: empty (27003), lengths differ (27004), shorter than 3 (27007), a character differs
// (27004). nullopt when the pair is accepted.
std::optional<PasswordRefusal> checkNewPassword(std::u16string_view password, std::u16string_view confirmation);

// --- Security options -----------------------------------------------------------------------
// The choices of the closing interval: the string id of each and its minutes.
struct IntervalChoice {
    std::uint32_t textId;
    std::uint32_t minutes;
};
inline constexpr std::array<IntervalChoice, 6> kIntervalChoices{
    {{28504, 0}, {28510, 1}, {28505, 5}, {28509, 10}, {28507, 30}, {28508, 60}}};
// The text of an interval that is none of the choices (another program may store any number of
// minutes): "%d minutes".
inline constexpr std::uint32_t kOtherIntervalTextId = 28511;

}  // namespace tw::app
