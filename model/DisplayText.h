#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/StringTable.h"

namespace tw {

// The user's date and time conventions in the Windows picture syntax (see DatePattern.h).
// Production fills it from the system locale; tests use fixed patterns.
struct LocalePatterns {
    std::u16string shortDate;      // e.g. M/d/yy
    std::u16string time;           // e.g. h:mm:ss tt
    std::u16string timeSeparator;  // e.g. ":"
};

// String ids of the words a check box shows (also the two items of a yes/no list).
constexpr std::uint32_t kYesWordId = 20204;
constexpr std::uint32_t kNoWordId = 20205;

// A date in the short-date pattern with a four-digit year.
std::u16string formatShortDate(const SystemTime& when, const LocalePatterns& locale);

// A time in the time pattern without seconds.
std::u16string formatShortTime(const SystemTime& when, const LocalePatterns& locale);

// The text a view, an export or a copy shows for a field's value:
//   8, 9, 10  the date, the time, or both joined by two spaces; empty when the year is 0;
//   13        the word 20204 for "1", 20205 for "0", empty otherwise;
//   others    the value text itself (list kinds: the chosen item).
// Callers that copy into a fixed buffer keep at most buffer size - 1 characters of it.
std::u16string displayText(std::uint16_t kind, std::u16string_view value, const SystemTime& when,
                           const LocalePatterns& locale, const StringTable& strings);

// State of a check box field: checked for "1", unchecked for "0", undecided for any other
// value or none.
enum class CheckState : int { Unchecked = 0, Checked = 1, Undecided = 2 };

// The check state of a field of kind 13; none for any other kind.
std::optional<CheckState> checkState(std::uint16_t kind, std::u16string_view value);

}  // namespace tw
