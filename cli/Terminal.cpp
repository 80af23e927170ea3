#include "cli/Terminal.h"

#include <termios.h>
#include <unistd.h>

#include <istream>
#include <ostream>
#include <string>

#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {

bool stdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<std::u16string> TerminalPasswords::read(std::string_view prompt) {
    std::string line;
    if (m_interactive) {
        m_err << prompt << std::flush;
        termios old{};
        const bool haveTerm = ::tcgetattr(STDIN_FILENO, &old) == 0;
        if (haveTerm) {
            termios quiet = old;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
        const bool ok = static_cast<bool>(std::getline(m_in, line));
        if (haveTerm) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        m_err << "\n";
        if (!ok) return std::nullopt;
    } else if (!std::getline(m_in, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::u16string password = fromUtf8(line);
    wipe(line.data(), line.size());
    return password;
}

Answer TerminalPrompt::ask(const Message& message) {
    const std::string text = toUtf8(message.text);
    if (message.buttons == Buttons::Ok) {
        m_out << text << "\n";
        return Answer::Ok;
    }
    const bool yesNo = message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel;
    const Answer yes = yesNo ? Answer::Yes : Answer::Ok;
    const Answer no = yesNo ? Answer::No : Answer::Cancel;
    m_out << text << "\n";
    if (assumeYes) {
        m_out << "[answered yes]\n";
        return yes;
    }
    if (!m_interactive) {
        m_out << "[no terminal to ask on: answered no; use --yes to agree]\n";
        return no;
    }
    for (;;) {
        m_out << "[y/n] " << std::flush;
        std::string line;
        if (!std::getline(m_in, line)) return no;
        if (line == "y" || line == "Y" || line == "yes") return yes;
        if (line == "n" || line == "N" || line == "no") return no;
    }
}

}  // namespace tw::cli
