#include "model/Links.h"

#include <algorithm>

namespace tw {

namespace {

constexpr std::size_t kWorkingLength = 1023;
constexpr std::size_t kCommandLength = 259;

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

LinkClass classify(std::u16string_view text) {
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const auto digits = static_cast<std::size_t>(std::count_if(text.begin(), text.end(), isDigit));
    // digits / length >= 0.6, without floating point.
    if (digits * 5 >= text.size() * 3) return LinkClass::Telephone;

    const std::size_t at = text.find(u'@');
    if (at != std::u16string_view::npos && text.find(u'.', at + 1) != std::u16string_view::npos) {
        return LinkClass::Email;
    }
    if (std::count(text.begin(), text.end(), u'.') >= 2) return LinkClass::WebAddress;

    // Only ASCII letters matter for the three markers, so ASCII lower-casing is enough.
    std::u16string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    for (const std::u16string_view marker : {u"www.", u"http", u"ftp"}) {
        if (lower.find(marker) != std::u16string::npos) return LinkClass::WebAddress;
    }
    return LinkClass::None;
}

}  // namespace

LinkClass classifyLink(std::u16string_view text, std::u16string* target) {
    text = text.substr(0, kWorkingLength);
    const std::size_t start = text.find_first_not_of(u' ');
    if (start == std::u16string_view::npos) return LinkClass::None;
    text.remove_prefix(start);

    const LinkClass result = classify(text);
    if (result != LinkClass::None && target != nullptr) target->assign(text);
    return result;
}

BrowserCommand parseBrowserCommand(std::u16string_view registeredCommand) {
    std::u16string file(registeredCommand.substr(0, kCommandLength));
    for (std::size_t p = file.size(); p-- > 0;) {
        if (file[p] != u' ' || p + 1 >= file.size() || file[p + 1] != u'%') continue;
        if (file[0] == u'"' && p >= 2 && file[p - 1] != u'"') {
            file[p] = u'"';
            file.resize(p + 1);
        } else {
            file.resize(p);
        }
        break;
    }

    BrowserCommand command;
    command.program = file;
    if (!file.empty() && file[0] == u'"') {
        const std::size_t close = file.find(u'"', 1);
        command.program = file.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1);
    }
    command.file = std::move(file);
    return command;
}

}  // namespace tw
