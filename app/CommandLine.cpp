#include "app/CommandLine.h"

#include "app/Settings.h"
#include "platform/Text.h"

namespace tw::app {

namespace {

bool endsWithNoCase(std::u16string_view text, std::u16string_view ending) {
    return text.size() >= ending.size() && equalNoCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

CommandLineState parseCommandLine(std::string_view argument, const std::function<bool(const std::string&)>& exists) {
    CommandLineState state;
    const std::u16string text = fromUtf8(argument);
    if (text.empty() || text.size() > kMaxPath) return state;
    state.argument = std::string(argument);
    if (text.size() > 4 && endsWithNoCase(text, u".tmx")) {
        state.formLayout = true;
        return state;
    }
    if (endsWithNoCase(text, u"SYNC_START")) {
        state.syncStart = true;
        state.argument.clear();
    } else if (endsWithNoCase(text, u"SYNC_END")) {
        state.syncEnd = true;
        state.argument.clear();
    }
    if (!state.argument.empty() && !(exists && exists(state.argument))) state.argument.clear();
    return state;
}

std::optional<std::string> firstWallet(const CommandLineState& command, const std::u16string& lastWallet, bool openLast,
                                       const std::function<bool(const std::string&)>& exists) {
    if (!command.argument.empty() && !command.formLayout) return command.argument;
    const std::string last = toUtf8(lastWallet);
    if (!last.empty() && openLast && exists && exists(last)) return last;
    return std::nullopt;
}

}  // namespace tw::app
