#include "app/CardActions.h"

#include "platform/Text.h"

namespace tw::app {

namespace {

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

void percentEncode(std::string_view bytes, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '@';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
}

}  // namespace

std::optional<std::string> webTarget(std::u16string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    for (char16_t c : text) {
        if (isControl(c) || c == u' ') return std::nullopt;
    }
    if (startsWithNoCase(text, u"http://") || startsWithNoCase(text, u"https://")) {
        if (text.size() == (startsWithNoCase(text, u"https://") ? 8u : 7u)) return std::nullopt;
        return toUtf8(text);
    }
    // A scheme is letters, digits, "+", "-", "." before a ":" that is not followed by a port.
    const std::size_t colon = text.find(u':');
    if (colon != std::u16string_view::npos) {
        const std::size_t slash = text.find(u'/');
        const bool portFollows = colon + 1 < text.size() && text[colon + 1] >= u'0' && text[colon + 1] <= u'9';
        if ((slash == std::u16string_view::npos || colon < slash) && !portFollows) return std::nullopt;
    }
    if (text.front() == u'/' || text.front() == u'-') return std::nullopt;
    return "http://" + toUtf8(text);
}

std::optional<std::string> mailtoTarget(std::u16string_view text) {
    text = trimmed(text);
    if (startsWithNoCase(text, u"mailto:")) text.remove_prefix(7);
    std::size_t end = 0;
    while (end < text.size() && text[end] != u' ' && text[end] != u'?' && !isControl(text[end])) ++end;
    text = text.substr(0, end);
    if (text.find(u'@') == std::u16string_view::npos) return std::nullopt;
    std::string out = "mailto:";
    percentEncode(toUtf8(text), out);
    return out;
}

std::optional<std::string> telTarget(std::u16string_view text) {
    text = trimmed(text);
    std::string out = "tel:";
    if (!text.empty() && text.front() == u'+') out.push_back('+');
    bool digit = false;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            out.push_back(static_cast<char>(c));
            digit = true;
        }
    }
    if (!digit) return std::nullopt;
    return out;
}

bool runExternalAction(const ViewRow& row, WebBrowser& browser, Launcher& launcher) {
    std::u16string target;
    switch (rowAction(row, &target)) {
        case RowAction::Web: {
            const auto address = webTarget(target);
            return address && browser.open(fromUtf8(*address));
        }
        case RowAction::Mail: {
            const auto address = mailtoTarget(target);
            return address && launcher.openDefault(*address);
        }
        case RowAction::Phone: {
            const auto address = telTarget(target);
            return address && launcher.openDefault(*address);
        }
        case RowAction::Copy:
        case RowAction::Attachment:
            return false;
    }
    return false;
}

}  // namespace tw::app
