#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/DisplayText.h"

namespace tw::cli {

// The patterns used when the user's locale gives none that converts: M/d/yyyy and h:mm:ss tt.
LocalePatterns defaultLocalePatterns();

// Converts a strftime format (as nl_langinfo gives D_FMT and T_FMT) to the Windows picture
// syntax of LocalePatterns: %d -> dd, %-d and %e -> d, %m -> MM, %Y -> yyyy, %H -> HH, %I -> hh,
// %p -> tt, %D, %F, %T, %R, %r expanded, and so on; letters of literal text are quoted. None when
// the format holds a conversion with no counterpart (week numbers, time zones, ...).
std::optional<std::u16string> pictureFromStrftime(std::string_view format);

// Patterns from a date and a time format in strftime syntax. Each one that does not convert, or
// that holds no field at all, is replaced by its default. The time separator is the text
// between the hours and the minutes of the time pattern (":" when there is none).
LocalePatterns localePatternsFrom(std::string_view dateFormat, std::string_view timeFormat);

// The user's patterns: the C library's LC_TIME locale as the environment sets it (LC_ALL,
// LC_TIME, LANG). The "C" (also "C.UTF-8") and "POSIX" locales, and a locale that cannot be set, give the
// defaults. The process's own locale is left as it was.
LocalePatterns userLocalePatterns();

}  // namespace tw::cli
