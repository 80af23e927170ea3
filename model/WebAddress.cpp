#include "model/WebAddress.h"

#include "model/Links.h"
#include "platform/Text.h"

namespace tw {

namespace {
constexpr std::u16string_view kCommandKey = u"http\\Shell\\Open\\Command";
constexpr std::size_t kMaxCommand = 260;
}  // namespace

std::vector<std::string> splitCommandLine(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

bool WebBrowser::open(std::u16string_view address) {
    if (!m_command) {
        bool created = false;
        std::u16string command;
        if (m_registry.createKey(RegistryRoot::ClassesRoot, kCommandKey, &created) && !created) {
            command = m_registry.readString(RegistryRoot::ClassesRoot, kCommandKey, u"").value_or(u"");
        }
        if (command.size() > kMaxCommand - 1) command.resize(kMaxCommand - 1);
        m_command = command.empty() ? std::u16string() : parseBrowserCommand(command).file;
    }
    const std::string target = toUtf8(address);
    const std::vector<std::string> words = splitCommandLine(toUtf8(*m_command));
    if (words.empty()) return m_launcher.openDefault(target);
    std::vector<std::string> args(words.begin() + 1, words.end());
    args.push_back(target);
    return m_launcher.start(words.front(), args);
}

}  // namespace tw
