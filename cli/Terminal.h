#pragma once

#include <iosfwd>

#include "cli/Command.h"
#include "platform/Prompt.h"

namespace tw::cli {

// Passwords from the terminal without echo when standard input is one; otherwise one line per
// password from standard input.
class TerminalPasswords final : public PasswordSource {
public:
    TerminalPasswords(std::istream& in, std::ostream& err, bool interactive)
        : m_in(in), m_err(err), m_interactive(interactive) {}
    std::optional<std::u16string> read(std::string_view prompt) override;

private:
    std::istream& m_in;
    std::ostream& m_err;
    bool m_interactive;
};

// Questions and messages of the core, on the terminal. With `assumeYes` every question is
// answered positively without asking; without a terminal to ask on, questions get the
// negative answer (nothing is done that the user did not agree to).
class TerminalPrompt final : public Prompt {
public:
    TerminalPrompt(std::istream& in, std::ostream& out, bool interactive)
        : m_in(in), m_out(out), m_interactive(interactive) {}
    Answer ask(const Message& message) override;
    bool assumeYes = false;

private:
    std::istream& m_in;
    std::ostream& m_out;
    bool m_interactive;
};

// True when standard input is a terminal.
bool stdinIsTerminal();

}  // namespace tw::cli
