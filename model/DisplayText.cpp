#include "model/DisplayText.h"

#include "model/DatePattern.h"
#include "model/FieldKind.h"

namespace tw {

std::u16string formatShortDate(const SystemTime& when, const LocalePatterns& locale) {
    return formatDatePattern(widenYear(locale.shortDate), when);
}

std::u16string formatShortTime(const SystemTime& when, const LocalePatterns& locale) {
    return formatDatePattern(removeSeconds(locale.time, locale.timeSeparator), when);
}

std::u16string displayText(std::uint16_t kind, std::u16string_view value, const SystemTime& when,
                           const LocalePatterns& locale, const StringTable& strings) {
    if (isDateKind(kind)) {
        if (when.year == 0) return {};
        if (kind == field_kind::kDate) return formatShortDate(when, locale);
        if (kind == field_kind::kTime) return formatShortTime(when, locale);
        return formatShortDate(when, locale) + u"  " + formatShortTime(when, locale);
    }
    if (kind == field_kind::kCheckBox) {
        if (value == u"1") return strings.text(kYesWordId);
        if (value == u"0") return strings.text(kNoWordId);
        return {};
    }
    return std::u16string(value);
}

std::optional<CheckState> checkState(std::uint16_t kind, std::u16string_view value) {
    if (kind != field_kind::kCheckBox) return std::nullopt;
    if (value == u"1") return CheckState::Checked;
    if (value == u"0") return CheckState::Unchecked;
    return CheckState::Undecided;
}

}  // namespace tw
