#include "cli/UpgradeCommands.h"

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/Commands.h"
#include "cli/Terminal.h"
#include "platform/IniRegistry.h"
#include "storage/Bytes.h"

namespace tw::cli {

void TerminalProgress::draw(unsigned percent) {
    constexpr unsigned kWidth = 20;
    const unsigned filled = percent * kWidth / 100;
    m_err << "\rUpgrading the wallet format [" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
          << percent << "%" << std::flush;
}

void TerminalProgress::update(std::uint64_t done, std::uint64_t total) {
    const unsigned percent = total == 0 || done >= total ? 100u : static_cast<unsigned>(done * 100 / total);
    if (static_cast<int>(percent) == m_last) return;
    m_last = static_cast<int>(percent);
    draw(percent);
}

void TerminalProgress::finish() {
    if (m_last < 0) return;
    if (m_last != 100) draw(100);
    m_err << "\n";
    m_last = -1;
}

std::string describe(ReencryptResult r) {
    struct Range {
        int from, to;
        const char* what;
    };
    static constexpr Range kRanges[] = {
        {1, 1, "out of memory"},
        {2, 2, "a record could not be read"},
        {3, 3, "the new file could not be written"},
        {4, 4, "a card is shorter than its display block"},
        {5, 6, "a card's display block could not be read"},
        {7, 7, "a field could not be read"},
        {10, 39, "a field's text could not be re-enciphered"},
        {40, 49, "a picture could not be re-enciphered"},
        {50, 59, "a sound could not be re-enciphered"},
        {60, 69, "an attached file could not be re-enciphered"},
    };
    const int code = static_cast<int>(r);
    std::string what = "it failed";
    for (const Range& range : kRanges)
        if (code >= range.from && code <= range.to) what = range.what;
    return what + " (code " + std::to_string(code) + ")";
}

std::string describe(ConvertResult r, const std::string& oldPath, const std::string& newPath) {
    switch (r) {
        case ConvertResult::Ok:
            return "converted " + oldPath + " into " + newPath;
        case ConvertResult::MissingArgument:
            return "the old wallet and its password are needed";
        case ConvertResult::WrongPassword:
            return oldPath + ": wrong password";
        case ConvertResult::CannotOpen:
            return oldPath + ": the file cannot be opened (missing or no permission)";
        case ConvertResult::NotOldWallet:
            return oldPath + ": this is not an older wallet file";
        case ConvertResult::ReadFailed:
            return oldPath + ": the file cannot be read";
        case ConvertResult::OutOfMemory:
            return "out of memory while converting " + oldPath;
        case ConvertResult::Exists:
            return newPath + " exists already; it was not touched";
        case ConvertResult::CannotCreate:
            return newPath + ": the new wallet could not be written; nothing was left behind";
        case ConvertResult::NoFolder:
            return oldPath + ": the wallet holds no folder; there is nothing to convert";
        case ConvertResult::NoCustomForms:
            return oldPath +
                   ": the custom forms file (.tcd) that its cards use was not found; copy it beside tmpro "
                   "or name its folder with --forms-folder, and try again";
    }
    return "conversion failed (code " + std::to_string(static_cast<int>(r)) + ")";
}

int exitCodeFor(ConvertResult r) {
    switch (r) {
        case ConvertResult::Ok:
            return exit_code::kOk;
        case ConvertResult::MissingArgument:
            return exit_code::kUsage;
        case ConvertResult::WrongPassword:
            return exit_code::kWrongPassword;
        case ConvertResult::CannotOpen:
        case ConvertResult::NotOldWallet:
            return exit_code::kNotAWallet;
        case ConvertResult::NoCustomForms:
            return exit_code::kNotFound;
        default:
            return exit_code::kFailed;
    }
}

namespace {

// The folder tmpro runs from, where the custom forms file is looked for first.
std::string programFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

// The old wallet must be a readable file before its password is asked.
int checkOldWallet(Context& c, const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    std::string why;
    if (!std::filesystem::exists(status))
        why = "no such file";
    else if (std::filesystem::is_directory(status))
        why = "is a folder, not a wallet file";
    else if (::access(path.c_str(), R_OK) != 0)
        why = "permission denied (the file cannot be read)";
    if (why.empty()) return exit_code::kOk;
    c.err << "tmpro: " << path << ": " << why << "\n";
    return exit_code::kNotAWallet;
}

class ConvertCommand final : public Command {
public:
    std::string_view name() const override { return "convert"; }
    std::string_view summary() const override { return "convert an older wallet (.wal) into a new one"; }
    Syntax syntax() const override {
        std::vector<Option> options = {{"forms-folder", "DIR", "where to look for the custom forms file (.tcd) first"}};
        for (Option& o : walletOptions()) options.push_back(std::move(o));
        return {false, {{"OLD.wal", "the older wallet"}, {"NEW.tm5", "the new wallet to write", false}}, options};
    }
    std::string_view help() const override {
        return "Converts an older wallet into a new wallet with the same password (asked once). The new\n"
               "wallet is NEW.tm5, or the old file's name with the extension .tm5 beside it; an existing\n"
               "file is never replaced, and the old wallet is only read. When the old wallet's cards use\n"
               "custom forms, the custom forms file (.tcd) it names is looked for beside tmpro (in DIR with\n"
               "--forms-folder), then in the folder of the program registered for older wallets.\n";
    }

    int run(const Args& args, Context& c) override {
        if (args.positional.empty() || args.positional.size() > 2) return usageError(c, *this);
        const std::string& oldPath = args.positional[0];
        if (const int r = checkOldWallet(c, oldPath)) return r;
        Secret secret;
        if (const int r = c.passwords.read("Password for " + oldPath + ": ", secret.text)) return r;
        const std::u16string* password = &secret.text;
        IniRegistry registry;
        ConversionOptions options;
        if (args.positional.size() == 2) options.newPath = args.positional[1];
        options.programFolder = args.has("forms-folder") ? args.get("forms-folder") : programFolder();
        options.registry = &registry;
        std::string newPath;
        const ConvertResult r = convertOldWallet(c.env, oldPath, *password, options, &newPath);
        if (r == ConvertResult::Ok) {
            c.out << "Converted " << oldPath << " into " << newPath << "\n";
            return exit_code::kOk;
        }
        c.err << "tmpro: " << describe(r, oldPath, newPath) << "\n";
        return exitCodeFor(r);
    }
};

}  // namespace

void addUpgradeCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<ConvertCommand>());
}

}  // namespace tw::cli
