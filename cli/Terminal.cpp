#include "cli/Terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {

bool stdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

Secret::~Secret() {
    wipe(text.data(), text.size() * sizeof(char16_t));
}

bool readFdLine(int fd, std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        any = true;
        if (c == '\n') break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

bool readTtyLine(std::string_view prompt, std::string& line) {
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    (void)!::write(fd, prompt.data(), prompt.size());
    termios old{};
    const bool haveTerm = ::tcgetattr(fd, &old) == 0;
    if (haveTerm) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    const bool ok = readFdLine(fd, line);
    if (haveTerm) ::tcsetattr(fd, TCSAFLUSH, &old);
    (void)!::write(fd, "\n", 1);
    ::close(fd);
    return ok;
}

TerminalPasswords::~TerminalPasswords() {
    if (m_fileFd >= 0) ::close(m_fileFd);
    wipe(m_fileText.data(), m_fileText.size());
}

bool TerminalPasswords::readFileLine(std::string& line, std::string& what) {
    if (m_fileFd < 0 && !m_fileWhole) {
        m_fileFd = ::open(m_origin.file->c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fileFd < 0) {
            what = "cannot read the password file " + *m_origin.file + ": " + std::strerror(errno);
            return false;
        }
        // A regular file is read whole in one go; a pipe or a device is read line by line, so that
        // nothing is taken from it that the password does not need.
        struct stat st {};
        if (::fstat(m_fileFd, &st) == 0 && S_ISREG(st.st_mode)) {
            m_fileText.resize(static_cast<std::size_t>(st.st_size) + 1);
            std::size_t got = 0;
            for (;;) {
                if (got == m_fileText.size()) {
                    // The file grew since it was measured: move to a larger buffer, wiping the old.
                    std::string larger(got * 2, '\0');
                    std::copy_n(m_fileText.data(), got, larger.data());
                    wipe(m_fileText.data(), got);
                    m_fileText.swap(larger);
                }
                const ssize_t n = ::read(m_fileFd, m_fileText.data() + got, m_fileText.size() - got);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                got += static_cast<std::size_t>(n);
            }
            wipe(m_fileText.data() + got, m_fileText.size() - got);
            m_fileText.resize(got);
            ::close(m_fileFd);
            m_fileFd = -1;
            m_fileWhole = true;
        }
    }
    what = "no password in " + *m_origin.file;
    if (!m_fileWhole) return readFdLine(m_fileFd, line);
    line.clear();
    if (m_fileAt >= m_fileText.size()) return false;
    const std::size_t end = m_fileText.find('\n', m_fileAt);
    const std::size_t stop = end == std::string::npos ? m_fileText.size() : end;
    line.assign(m_fileText, m_fileAt, stop - m_fileAt);
    m_fileAt = end == std::string::npos ? m_fileText.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool TerminalPasswords::readLine(std::string_view prompt, bool useOrigin, std::string& line, std::string& what) {
    if (useOrigin && m_origin.fd) {
        what = "no password on file descriptor " + std::to_string(*m_origin.fd);
        return readFdLine(*m_origin.fd, line);
    }
    if (useOrigin && m_origin.file) return readFileLine(line, what);
    what = useOrigin ? "no password given" : "no value given for " + std::string(prompt.substr(0, prompt.size() - 2));
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
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return ok;
    }
    if (m_stdinIsData && m_stdinIsData()) {
        what =
            "standard input carries data and there is no terminal to ask the password on; give it with "
            "--password-fd or --password-file";
        return readTtyLine(prompt, line);
    }
    if (!std::getline(m_in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

int TerminalPasswords::readChecked(std::string_view prompt, bool useOrigin, std::u16string& text,
                                   std::string_view kind) {
    std::string line, what;
    if (!readLine(prompt, useOrigin, line, what)) {
        wipe(line.data(), line.size());
        m_err << "tmpro: " << what << "\n";
        return exit_code::kUsage;
    }
    if (!isValidUtf8(line)) {
        wipe(line.data(), line.size());
        m_err << "tmpro: the " << kind << " is not valid UTF-8 text; nothing was done\n";
        return exit_code::kUsage;
    }
    text = fromUtf8(line);
    wipe(line.data(), line.size());
    return exit_code::kOk;
}

int TerminalPasswords::read(std::string_view prompt, std::u16string& password) {
    return readChecked(prompt, true, password, "password");
}

int TerminalPasswords::readValue(std::string_view prompt, std::u16string& value) {
    return readChecked(prompt, false, value, "value");
}

Answer TerminalPrompt::ask(const Message& message) {
    const std::string text = toUtf8(message.text);
    if (message.buttons == Buttons::Ok) {
        // Errors and warnings go with tmpro's own messages; standard output keeps the results.
        if (message.icon == Icon::Stop || message.icon == Icon::Warning)
            m_err << "tmpro: " << text << "\n";
        else
            m_out << text << "\n";
        return Answer::Ok;
    }
    const bool yesNo = message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel;
    const Answer yes = yesNo ? Answer::Yes : Answer::Ok;
    const Answer no = yesNo ? Answer::No : Answer::Cancel;
    // Questions nobody reads are shown by their first line only when the command asks so.
    const std::string shown = hideUnasked ? text.substr(0, text.find('\n')) : text;
    if (assumeYes) {
        if (!hideUnasked) m_out << shown << "\n[answered yes]\n";
        return yes;
    }
    if (!m_interactive) {
        m_out << shown << "\n[no terminal to ask on: answered no; use --yes to agree]\n";
        return no;
    }
    m_out << text << "\n";
    for (;;) {
        m_out << "[y/n] " << std::flush;
        std::string line;
        if (!std::getline(m_in, line)) return no;
        if (line == "y" || line == "Y" || line == "yes") return yes;
        if (line == "n" || line == "N" || line == "no") return no;
    }
}

}  // namespace tw::cli
