// The commands on the wallet's lists and keys: cp, fav, find, passwd, hint.
#include <iostream>
#include <ostream>

#include "cli/CardCommands.h"
#include "cli/CardSupport.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Locale.h"
#include "cli/Terminal.h"
#include "model/FormCards.h"
#include "model/Search.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/ChangePassword.h"
#include "storage/CreateWallet.h"
#include "storage/Keys.h"
#include "storage/WalletInfo.h"

namespace tw::cli {
namespace {

// --- cp ----------------------------------------------------------------------------------------

class CopyCommand final : public Command {
public:
    std::string_view name() const override { return "cp"; }
    std::string_view summary() const override { return "copy a card into a folder"; }
    std::string_view help() const override {
        return "Copies the card at PATH into FOLDER ('/' for the top level). The copy is named after the\n"
               "card with a '*' added.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card to copy", true, Check::Text},
                 {"FOLDER", "where the copy goes ('/' for the top level)", true, Check::Text}},
                {}};
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 3) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], false)) return r;
        WalletFile& w = s.wallet();
        std::size_t source = 0;
        RecordId folder;
        if (const int r = findCard(s, args.positional[1], source)) return r;
        if (const int r = findFolder(s, args.positional[2], folder)) return r;
        std::u16string copyName = w.nameOf(source).substr(0, kMaxCopyBase) + u"*";
        if (nameTaken(w, folder, copyName))
            return s.fail(exit_code::kFailed, "'" + toUtf8(copyName) + "' exists in that folder already");
        const std::int64_t at = copyCard(w, w.index().at(source).id(), folder);
        if (at < 0) return s.fail(exit_code::kFailed, "the copy could not be written; the wallet is as it was");
        c.out << "Copied to " << pathOf(w, static_cast<std::size_t>(at)) << "\n";
        return s.finish();
    }
};

// --- fav ---------------------------------------------------------------------------------------

class FavouritesCommand final : public Command {
public:
    std::string_view name() const override { return "fav"; }
    std::string_view summary() const override { return "list, add, remove or clear the favourites"; }
    std::string_view help() const override {
        return "The favourites: a list of up to 32 cards. ACTION is list, add PATH, remove PATH or clear.\n"
               "Removing a favourite keeps the card.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"ACTION", "list, add, remove or clear"}, {"PATH", "the card to add or remove", false, Check::Text}},
                {}};
    }
    int run(const Args& args, Context& c) override;
};

int FavouritesCommand::run(const Args& args, Context& c) {
    const std::size_t n = args.positional.size();
    if (n < 2) return usageError(c, *this);
    const std::string& action = args.positional[1];
    const bool withPath = action == "add" || action == "remove";
    if (!(withPath && n == 3) && !((action == "list" || action == "clear") && n == 2)) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], action == "list")) return r;
    WalletFile& w = s.wallet();
    SettingsBlock& settings = w.settings();
    const SystemTime now = w.env().clock.localTime();
    if (action == "list") {
        for (std::size_t slot = 0; slot < settings.favouriteCount(); ++slot) {
            const std::int64_t at = w.index().find(settings.favourite(slot));
            if (at >= 0 && !w.index().at(static_cast<std::size_t>(at)).deleted())
                c.out << pathOf(w, static_cast<std::size_t>(at)) << "\n";
        }
        return s.finish();
    }
    if (action == "clear") {
        settings.clearFavourites(now);
        c.out << "Cleared the favourites\n";
        return s.finish();
    }
    std::size_t at = 0;
    if (const int r = findCard(s, args.positional[2], at)) return r;
    const RecordId id = w.index().at(at).id();
    if (action == "add") {
        if (settings.isFavourite(id)) {
            c.out << args.positional[2] << " is a favourite already\n";
            return s.finish();
        }
        if (!settings.addFavourite(id, now))
            return s.fail(exit_code::kFailed,
                          "the favourites are full (" + std::to_string(SettingsBlock::kFavouriteSlots) + " cards)");
    } else if (!settings.removeFavourite(id, now)) {
        return s.fail(exit_code::kNotFound, "'" + args.positional[2] + "' is not a favourite");
    }
    c.out << (action == "add" ? "Added " : "Removed ") << pathOf(w, at) << (action == "add" ? " to" : " from")
          << " the favourites\n";
    return s.finish();
}

// --- find --------------------------------------------------------------------------------------

class FindCommand final : public Command {
public:
    std::string_view name() const override { return "find"; }
    std::string_view summary() const override { return "find the cards that hold a text"; }
    std::string_view help() const override {
        return "Prints the path of every card whose name, field names or field values hold TEXT, without\n"
               "regard to case (at least 2 characters; at most 48 cards, in the order they are stored).\n"
               "Exit code 5 when no card holds it.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"TEXT", "the text to find", true, Check::Text}},
                {{"json", "", "print a JSON array of the cards found (keys: see the manual page)"}}};
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 2) return usageError(c, *this);
        const std::u16string text = fromUtf8(args.positional[1]);
        std::size_t letters = 0;
        for (char16_t ch : text)
            if (ch != u' ' && ch != u'\t') ++letters;
        if (letters < 2) {
            c.err << "tmpro: the text to find needs at least 2 characters\n";
            return exit_code::kUsage;
        }
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        WalletFile& w = s.wallet();
        const std::size_t found = searchCards(w, text, userLocalePatterns());
        if (args.has("json")) {
            JsonWriter json;
            json.beginArray();
            for (const std::size_t at : w.searchResults().positions)
                json.beginObject()
                    .key("id")
                    .value(idText(w.index().at(at).id()))
                    .key("path")
                    .value(pathOf(w, at))
                    .key("name")
                    .value(toUtf8(w.nameOf(at)))
                    .endObject();
            json.endArray();
            c.out << json.text();
        } else {
            for (const std::size_t at : w.searchResults().positions) c.out << pathOf(w, at) << "\n";
        }
        if (found == SearchResults::kMax)
            c.err << "tmpro: only the first " << SearchResults::kMax << " cards found are listed\n";
        const int r = s.finish();
        if (found == 0) return s.fail(exit_code::kNotFound, "no card holds '" + args.positional[1] + "'");
        return r;
    }
};

// --- passwd ------------------------------------------------------------------------------------

class PasswordCommand final : public Command {
public:
    std::string_view name() const override { return "passwd"; }
    std::string_view summary() const override { return "change the wallet's password and hint"; }
    std::string_view help() const override {
        return "Asks for the current password, then the new one (3 to 23 characters) twice, and re-enciphers\n"
               "every record under it. The new hint is --hint TEXT, the old one with --keep-hint, or else\n"
               "asked for (an empty line: no hint). Read from standard input, the lines are: current\n"
               "password, new password, new password again, hint. The wallet is written anew beside the old\n"
               "file and swapped in whole: a failure leaves it under the old password.\n";
    }
    Syntax syntax() const override {
        return {true, {}, {{"hint", "TEXT", "the new hint", Check::Text}, {"keep-hint", "", "keep the old hint"}}};
    }
    int run(const Args& args, Context& c) override;
};

int PasswordCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1 || (args.has("hint") && args.has("keep-hint"))) return usageError(c, *this);
    const std::string& path = args.positional[0];
    Session s(c);
    if (const int r = s.open(path, false)) return r;
    WalletFile& w = s.wallet();
    Secret fresh, again;
    if (const int r = c.passwords.read("New password: ", fresh.text)) return r;
    if (const int r = c.passwords.read("Repeat the new password: ", again.text)) return r;
    if (again.text != fresh.text) return s.fail(exit_code::kUsage, "the two new passwords differ; nothing was changed");
    if (fresh.text.size() < kMinPassword || fresh.text.size() > kMaxPassword)
        return s.fail(exit_code::kUsage, "the new password must have 3 to 23 characters; nothing was changed");

    std::optional<std::u16string> hint;
    if (args.has("hint")) {
        hint = fromUtf8(args.get("hint"));
    } else if (args.has("keep-hint")) {
        std::u16string old;
        if (w.keys().readHint(old)) hint = old;
    } else {
        if (&c.in == &std::cin && stdinIsTerminal()) c.err << "New hint (empty for none): " << std::flush;
        std::string line;
        if (std::getline(c.in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!isValidUtf8(line))
                return s.fail(exit_code::kUsage, "the hint is not valid UTF-8 text; nothing was changed");
            if (!line.empty()) hint = fromUtf8(line);
        }
    }
    const auto hintView = hint ? std::optional<std::u16string_view>(*hint) : std::nullopt;
    switch (changePassword(w, s.password(), fresh.text, hintView)) {
        case PasswordChangeResult::Ok:
            c.out << "Changed the password of " << path << "\n";
            break;
        case PasswordChangeResult::WrongOldPassword:
            return s.fail(exit_code::kWrongPassword, "the current password is wrong; nothing was changed");
        case PasswordChangeResult::BadNewPassword:
            return s.fail(exit_code::kUsage, "the new password must have 3 to 23 characters; nothing was changed");
        case PasswordChangeResult::Failed:
            return s.fail(exit_code::kFailed,
                          w.isOpen() ? "the wallet could not be written; it keeps the old password"
                                     : "the password was changed but the wallet could not be opened again");
    }
    return s.finish();
}

// --- hint --------------------------------------------------------------------------------------

class HintCommand final : public Command {
public:
    std::string_view name() const override { return "hint"; }
    std::string_view summary() const override { return "show the password hint (no password needed)"; }
    std::string_view help() const override {
        return "Prints the wallet's password hint. Exit code 5 when it has none.\n";
    }
    Syntax syntax() const override { return {false, {{"WALLET", "the wallet file (.tm5)"}}, {}}; }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 1) return usageError(c, *this);
        if (const int r = checkWalletFile(c, args.positional[0], false)) return r;
        WalletInfo info;
        const OpenResult r = inspectWallet(c.env, args.positional[0], info, InspectDepth::Blocks);
        if (r != OpenResult::Ok) return reportOpenFailure(c, args.positional[0], r);
        if (info.hint.empty()) {
            c.err << "tmpro: " << args.positional[0] << " has no password hint\n";
            return exit_code::kNotFound;
        }
        c.out << toUtf8(info.hint) << "\n";
        return exit_code::kOk;
    }
};

}  // namespace

void addWalletCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<CopyCommand>());
    commands.push_back(std::make_unique<FavouritesCommand>());
    commands.push_back(std::make_unique<FindCommand>());
    commands.push_back(std::make_unique<PasswordCommand>());
    commands.push_back(std::make_unique<HintCommand>());
}

}  // namespace tw::cli
