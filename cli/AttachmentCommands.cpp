// attach, detach, extract: a card's ten file slots, its picture and its sound.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "cli/CardSupport.h"
#include "cli/GetCommands.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

// An attachment of a card named on the command line: a slot number 1-10, "picture", "sound",
// or the name of an attached file.
struct Which {
    Attachment* attachment = nullptr;
    std::string label;  // "file 3", "the picture", "the sound"
};

std::string slotLabel(std::size_t slot) {
    return "file " + std::to_string(slot + 1);
}

int findAttachment(Session& s, Card& card, const std::string& which, bool mustHoldData, Which& found) {
    if (which == "picture") {
        found = {&card.picture(), "the picture"};
    } else if (which == "sound") {
        found = {&card.sound(), "the sound"};
    } else {
        std::size_t slot = 0;
        const auto [end, ec] = std::from_chars(which.data(), which.data() + which.size(), slot);
        if (ec == std::errc() && end == which.data() + which.size()) {
            if (slot < 1 || slot > Card::kFileSlots)
                return s.fail(exit_code::kUsage, "file slots are numbered 1 to " + std::to_string(Card::kFileSlots));
            found = {&card.file(slot - 1), slotLabel(slot - 1)};
        } else {
            int matches = 0;
            for (std::size_t i = 0; i < Card::kFileSlots; ++i)
                if (card.file(i).hasData() && equalNoCase(card.file(i).name(), fromUtf8(which))) {
                    if (matches++ == 0) found = {&card.file(i), slotLabel(i)};
                }
            if (matches > 1)
                return s.fail(exit_code::kAmbiguous, std::to_string(matches) + " attached files are named '" + which +
                                                         "'; give the slot number");
            if (matches == 0)
                return s.fail(exit_code::kNotFound, "the card has no attached file named '" + which + "'");
        }
    }
    if (mustHoldData && !found.attachment->hasData())
        return s.fail(exit_code::kNotFound, "the card has nothing in " + found.label);
    return exit_code::kOk;
}

int loadCardAt(Session& s, const std::string& path, std::unique_ptr<Card>& card) {
    std::size_t at = 0;
    if (const int r = findCard(s, path, at)) return r;
    card = s.wallet().loadCard(s.wallet().index().at(at).id());
    if (!card) return s.fail(exit_code::kDamaged, "the card '" + path + "' cannot be read");
    return exit_code::kOk;
}

class AttachCommand final : public Command {
public:
    std::string_view name() const override { return "attach"; }
    std::string_view summary() const override { return "attach a file, a picture or a sound to a card"; }
    std::string_view help() const override {
        return "Attaches FILE to the card at PATH: after its attached files (up to ten), or into the place\n"
               "--as names (the number or name of an attached file, picture or sound), replacing what is\n"
               "there. Pictures are BMP, JPEG or GIF files, sounds WAV files; the kind is told by the\n"
               "name's extension. Attached files are numbered in order: removing one renumbers the rest.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text}, {"FILE", "the file to attach"}},
                {{"as", "WHICH", "an attached file (number or name) to replace, picture or sound", Check::Text},
                 {"name", "NAME", "the attachment's name (default: FILE's name without folders)", Check::Text}}};
    }
    int run(const Args& args, Context& c) override {
        const std::string& file = args.positional[2];
        const std::string name = args.has("name") ? args.get("name") : std::filesystem::path(file).filename().string();
        if (!isValidUtf8(name))
            return fail(c, exit_code::kUsage, "the file's name is not UTF-8 text; name the attachment with --name");
        if (name.empty() || name.find('/') != std::string::npos)
            return fail(c, exit_code::kUsage, "an attachment's name cannot be empty or hold '/'");
        Session s(c);
        if (const int r = s.open(args.positional[0], false)) return r;
        std::unique_ptr<Card> card;
        if (const int r = loadCardAt(s, args.positional[1], card)) return r;
        Which which;
        if (args.has("as")) {
            // Files are kept in order without gaps: --as replaces a file, a new one is added.
            const std::string as = args.get("as");
            if (const int r = findAttachment(s, *card, as, as != "picture" && as != "sound", which)) return r;
        } else {
            for (std::size_t i = 0; i < Card::kFileSlots && !which.attachment; ++i)
                if (!card->file(i).hasData()) which = {&card->file(i), slotLabel(i)};
            if (!which.attachment)
                return s.fail(exit_code::kFailed, "all ten file slots are in use; name one with --as to replace it");
        }
        Attachment& a = *which.attachment;
        Attachment read(a.kind());
        Env& env = s.wallet().env();
        if (!read.setFromFile(env.files, file, env.clock))
            return s.fail(exit_code::kFailed, file + " cannot be read, or is empty or too large");
        std::vector<std::uint8_t> bytes = read.data();
        const SystemTime fileTime = read.fileTime(), attachTime = read.attachTime();
        const bool ok = a.set(bytes, fromUtf8(name));
        wipe(bytes.data(), bytes.size());
        if (!ok) return s.fail(exit_code::kFailed, file + " cannot be attached");
        if (a.kind() == AttachmentKind::File) a.setTimes(fileTime, attachTime);
        const std::int64_t saved = s.wallet().saveCard(*card);
        if (saved < 0) return s.fail(exit_code::kFailed, "the card could not be written; the wallet is as it was");
        c.out << "Attached " << name << " to " << pathOf(s.wallet(), static_cast<std::size_t>(saved)) << " as "
              << which.label << "\n";
        return s.finish();
    }

private:
    static int fail(Context& c, int code, const std::string& message) {
        c.err << "tmpro: " << message << "\n";
        return code;
    }
};

class DetachCommand final : public Command {
public:
    std::string_view name() const override { return "detach"; }
    std::string_view summary() const override { return "remove an attachment from a card"; }
    std::string_view help() const override {
        return "Removes an attachment from the card at PATH. WHICH is a file slot (1-10), the attached\n"
               "file's name, picture or sound.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text},
                 {"WHICH", "a file slot (1-10), an attached file's name, picture or sound", true, Check::Text}},
                {}};
    }
    int run(const Args& args, Context& c) override {
        Session s(c);
        if (const int r = s.open(args.positional[0], false)) return r;
        std::unique_ptr<Card> card;
        if (const int r = loadCardAt(s, args.positional[1], card)) return r;
        Which which;
        if (const int r = findAttachment(s, *card, args.positional[2], true, which)) return r;
        const std::string name = toUtf8(which.attachment->name());
        which.attachment->clear();
        const std::int64_t saved = s.wallet().saveCard(*card);
        if (saved < 0) return s.fail(exit_code::kFailed, "the card could not be written; the wallet is as it was");
        c.out << "Removed " << which.label << " (" << name << ") from "
              << pathOf(s.wallet(), static_cast<std::size_t>(saved)) << "\n";
        return s.finish();
    }
};

class ExtractCommand final : public Command {
public:
    std::string_view name() const override { return "extract"; }
    std::string_view summary() const override { return "write an attachment of a card to a file"; }
    std::string_view help() const override {
        return "Writes an attachment of the card at PATH to a file, byte for byte: to --out FILE, else to\n"
               "the attachment's name in the current folder. An existing file is not replaced unless\n"
               "--force is given. The new file can be read by its owner only. WHICH is a file slot\n"
               "(1-10), the attached file's name, picture or sound.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text},
                 {"WHICH", "a file slot (1-10), an attached file's name, picture or sound", true, Check::Text}},
                {{"out", "FILE", "where to write ('-': standard output)"}, {"force", "", "replace an existing file"}}};
    }
    int run(const Args& args, Context& c) override {
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        std::unique_ptr<Card> card;
        if (const int r = loadCardAt(s, args.positional[1], card)) return r;
        Which which;
        if (const int r = findAttachment(s, *card, args.positional[2], true, which)) return r;
        const std::vector<std::uint8_t>& data = which.attachment->data();
        std::string target = args.has("out") ? args.get("out") : toUtf8(which.attachment->name());
        if (target == "-") {
            if (args.has("force")) return s.fail(exit_code::kUsage, "--force replaces a file; standard output is none");
            c.out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
            c.out.flush();
            return s.finish();
        }
        if (target.empty()) target = "attachment";
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (args.has("force") ? O_TRUNC : O_EXCL);
        const int fd = ::open(target.c_str(), flags, 0600);
        if (fd < 0)
            return s.fail(exit_code::kFailed, target + ": " +
                                                  (errno == EEXIST ? std::string("exists already (use --force)")
                                                                   : std::string(std::strerror(errno))));
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        const bool ok = done == data.size() && ::fsync(fd) == 0;
        ::close(fd);
        if (!ok) {
            ::unlink(target.c_str());
            return s.fail(exit_code::kFailed, target + " could not be written");
        }
        c.out << "Wrote " << which.label << " to " << target << "\n";
        return s.finish();
    }
};

}  // namespace

void addAttachmentCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<AttachCommand>());
    commands.push_back(std::make_unique<DetachCommand>());
    commands.push_back(std::make_unique<ExtractCommand>());
}

}  // namespace tw::cli
