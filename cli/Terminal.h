#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "platform/Prompt.h"

namespace tw::cli {

// A password or other secret text, wiped when it goes.
struct Secret {
    std::u16string text;
    Secret() = default;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    ~Secret();
};

// Where passwords come from when the command line names a place: an open file descriptor or a
// file. Each password is the next line of it.
struct PasswordOrigin {
    std::optional<int> fd;
    std::optional<std::string> file;
};

// Passwords from the origin the command line names; else from the terminal without echo when
// standard input is one; else one line per password from standard input, unless standard input
// carries the command's data (`stdinIsData`), when they are asked on /dev/tty. Every password
// must be UTF-8: other bytes are refused, never replaced.
class TerminalPasswords final : public PasswordSource {
public:
    TerminalPasswords(std::istream& in, std::ostream& err, bool interactive, PasswordOrigin origin,
                      std::function<bool()> stdinIsData)
        : m_in(in),
          m_err(err),
          m_interactive(interactive),
          m_origin(std::move(origin)),
          m_stdinIsData(std::move(stdinIsData)) {}
    ~TerminalPasswords() override;
    int read(std::string_view prompt, std::u16string& password) override;
    int readValue(std::string_view prompt, std::u16string& value) override;

private:
    // One line without its line end; false when there is none. `what` names the source in errors.
    // `useOrigin`: the password options apply.
    bool readLine(std::string_view prompt, bool useOrigin, std::string& line, std::string& what);
    int readChecked(std::string_view prompt, bool useOrigin, std::u16string& text, std::string_view kind);

    std::istream& m_in;
    std::ostream& m_err;
    bool m_interactive;
    PasswordOrigin m_origin;
    std::function<bool()> m_stdinIsData;
    // The next line of the --password-file, opened at the first read; false when there is none.
    bool readFileLine(std::string& line, std::string& what);

    int m_fileFd = -1;  // --password-file, opened at the first read; closed once read whole
    // A regular password file is read whole at once; its lines are taken from here.
    std::string m_fileText;
    std::size_t m_fileAt = 0;
    bool m_fileWhole = false;
};

// Reads one line from a file descriptor, byte by byte so that nothing after it is consumed;
// false at the end of input with nothing read, or on a read error. The line end (LF, or CR LF)
// is not kept.
bool readFdLine(int fd, std::string& line);

// Asks on the terminal (/dev/tty) without echo; false when there is no terminal or no line.
bool readTtyLine(std::string_view prompt, std::string& line);

// Questions and messages of the core, on the terminal; error and warning messages on the error
// stream. With `assumeYes` every question is answered positively without asking; without a
// terminal to ask on, questions get the negative answer (nothing is done that the user did not
// agree to).
class TerminalPrompt final : public Prompt {
public:
    TerminalPrompt(std::istream& in, std::ostream& out, std::ostream& err, bool interactive)
        : m_in(in), m_out(out), m_err(err), m_interactive(interactive) {}
    Answer ask(const Message& message) override;
    bool assumeYes = false;
    // Questions answered without asking (--yes, or no terminal) are not printed in full: their
    // texts may hold what is being imported.
    bool hideUnasked = false;

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_interactive;
};

// True when standard input is a terminal.
bool stdinIsTerminal();

}  // namespace tw::cli
