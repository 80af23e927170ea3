// clip: one value of a card on the desktop clipboard for a while.
#include <csignal>
#include <ostream>

#include "cli/CardSupport.h"
#include "cli/ClipboardLoader.h"
#include "cli/GetCommands.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
}

// Interrupts while the value waits on the clipboard end the wait (and so clear it) instead of the
// process; the previous handlers come back when this goes.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted = 0;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &m_old[i]);
    }
    ~InterruptGuard() {
        for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &m_old[i], nullptr);
    }

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_old[3]{};
};

struct Copied {
    std::ostream& out;
    int seconds;
    std::string& text;
};

// The module has taken the text: it is wiped here at once rather than kept for the wait.
extern "C" void reportCopied(void* context) {
    const auto* c = static_cast<const Copied*>(context);
    wipe(c->text.data(), c->text.size());
    c->out << "Copied to the clipboard; it is cleared in " << c->seconds << " s (Ctrl-C clears it now)\n" << std::flush;
}

class ClipCommand final : public Command {
public:
    std::string_view name() const override { return "clip"; }
    std::string_view summary() const override { return "put one value of a card on the clipboard for a while"; }
    std::string_view help() const override {
        return "Puts the value of one field of the card at PATH (as 'get' prints it, without the line\n"
               "feed) on the desktop clipboard, marked so that clipboard managers keep no copy, and waits:\n"
               "after the timeout, or on Ctrl-C, the clipboard is cleared, unless something else was\n"
               "copied since. FIELD is named as for 'get'; without it, the card's first password field.\n"
               "Needs a desktop session (DISPLAY or WAYLAND_DISPLAY); exit code 1 without one.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text},
                 {"FIELD", "the field (default: the first password field)", false, Check::Text}},
                {{"timeout", "SECONDS", "clear the clipboard after this many seconds (default 30)", Check::Number}}};
    }
    int run(const Args& args, Context& c) override {
        const int seconds = args.has("timeout") ? std::stoi(args.get("timeout")) : 30;
        if (seconds < 1 || seconds > 24 * 3600) {
            c.err << "tmpro: --timeout takes 1 to 86400 seconds\n";
            return exit_code::kUsage;
        }
        std::string error;
        const TwClipboardModule* clipboard = loadClipboardModule(&error);
        if (clipboard == nullptr) {
            c.err << "tmpro: " << error << "; use 'tmpro get' instead\n";
            return exit_code::kFailed;
        }
        if (clipboard->displayAvailable() == 0) {
            c.err << "tmpro: no display to put the clipboard on (neither DISPLAY nor WAYLAND_DISPLAY is set); use "
                     "'tmpro get' instead\n";
            return exit_code::kFailed;
        }
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        std::size_t at = 0;
        if (const int r = findCard(s, args.positional[1], at)) return r;
        const std::unique_ptr<Card> card = s.wallet().loadCard(s.wallet().index().at(at).id());
        if (!card) return s.fail(exit_code::kDamaged, "the card '" + args.positional[1] + "' cannot be read");
        std::string text;
        if (const int r = fieldText(s, *card, args.positional.size() > 2 ? args.positional[2] : "", text)) return r;
        const int finished = s.finish();

        {
            InterruptGuard guard;
            Copied copied{c.out, seconds, text};
            const TwClipboardRequest request{text.data(), text.size(), seconds, reportCopied, &copied, &g_interrupted};
            clipboard->holdSecret(&request);
        }
        wipe(text.data(), text.size());  // already wiped, unless the module failed before copying
        return finished;
    }
};

}  // namespace

std::unique_ptr<Command> makeClipCommand() {
    return std::make_unique<ClipCommand>();
}

}  // namespace tw::cli
