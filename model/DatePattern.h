#pragma once

#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace tw {

// Formats a date and time with a date or time picture in the Windows syntax that the locale
// patterns use:
//   d dd ddd dddd   day, day with leading zero, short and long weekday name
//   M MM MMM MMMM   month, month with leading zero, short and long month name
//   y yy yyyy       last digit, last two digits, whole year (yyy and longer runs: whole year)
//   h hh H HH       12-hour and 24-hour clock, without and with leading zero
//   m mm s ss       minutes and seconds, without and with leading zero
//   t tt            first letter of the AM/PM marker, the whole marker
//   '...'           literal text; '' gives one quotation mark, inside or outside quotes
// Every other character is copied as it is; an unclosed quotation runs to the end. Weekday and
// month names are English (the core has no locale data); the weekday is computed from the date,
// not taken from dayOfWeek. Values outside their ranges print as numbers and give empty names.
std::u16string formatDatePattern(std::u16string_view pattern, const SystemTime& when);

// The day of the week (0 = Sunday) of a date in the proleptic Gregorian calendar; -1 for a month
// outside 1-12, a day outside 1-31 or the year 0.
int weekdayOf(unsigned year, unsigned month, unsigned day);

// The short-date pattern with a four-digit year: unless it holds "yyyy", its first "yy" becomes
// "yyyy" (M/d/yy -> M/d/yyyy). A pattern without "yy" is returned unchanged.
std::u16string widenYear(std::u16string_view shortDatePattern);

// The time pattern without seconds: the first occurrence of separator + "ss", or when there is
// none of separator + "s", is cut out (h:mm:ss tt -> h:mm tt). Unchanged when neither occurs.
std::u16string removeSeconds(std::u16string_view timePattern, std::u16string_view separator);

}  // namespace tw
