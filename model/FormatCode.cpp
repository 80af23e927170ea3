#include "model/FormatCode.h"

#include <array>

#include "model/FieldKind.h"

namespace tw {

namespace {

constexpr std::array<FormatKeyword, 11> kKeywords = {{
    {u"TMF_DEFAULT", format_code::kDefault, false},
    {u"TMF_PIN", format_code::kDefault, true},
    {u"TMF_UPPERALL", format_code::kUpperAll, false},
    {u"TMF_UPPERFIRST", format_code::kUpperFirst, false},
    {u"TMF_URL", format_code::kUrl, false},
    {u"TMF_EMAIL", format_code::kEmail, false},
    {u"TMF_TEL", format_code::kTel, false},
    {u"TMF_LINK", format_code::kLink, false},
    {u"TMF_DATE", format_code::kDate, false},
    {u"TMF_TIME", format_code::kTime, false},
    {u"TMF_YESNO", format_code::kYesNo, false},
}};

}  // namespace

std::uint16_t kindForNewCard(std::uint32_t formatCode, bool password) {
    if (password) return field_kind::kPassword;
    switch (formatCode) {
        case format_code::kUrl:
            return field_kind::kWebAddress;
        case format_code::kTel:
            return field_kind::kTelephone;
        case format_code::kEmail:
            return field_kind::kEmail;
        case format_code::kDate:
            return field_kind::kDate;
        case format_code::kTime:
            return field_kind::kTime;
        case format_code::kDateTime:
            return field_kind::kDateTime;
        default:
            return field_kind::kText;
    }
}

std::uint16_t kindForConversion(std::uint32_t formatCode, bool password) {
    if (password) return field_kind::kPassword;
    switch (formatCode) {
        case format_code::kDefault:
            return field_kind::kText;
        case format_code::kUrl:
            return field_kind::kWebAddress;
        case format_code::kTel:
            return field_kind::kTelephone;
        case format_code::kEmail:
            return field_kind::kEmail;
        default:
            return field_kind::kFirstCapital;
    }
}

std::span<const FormatKeyword> formatKeywords() {
    return kKeywords;
}

std::optional<FormatKeyword> findFormatKeyword(std::u16string_view keyword) {
    for (const FormatKeyword& entry : kKeywords) {
        if (entry.keyword == keyword) return entry;
    }
    return std::nullopt;
}

std::u16string_view formatKeywordFor(std::uint32_t formatCode, bool password) {
    for (const FormatKeyword& entry : kKeywords) {
        if (entry.password == password && (password || entry.code == formatCode)) return entry.keyword;
    }
    return {};
}

}  // namespace tw
