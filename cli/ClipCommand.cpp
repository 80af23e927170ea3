// clip: one value of a card on the desktop clipboard for a while.
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ostream>

#include "cli/CardSupport.h"
#include "cli/GetCommands.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "platform/SecretClipboard.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) {
    g_interrupted = true;
}

// Interrupts while the value waits on the clipboard end the wait (and so clear it) instead of the
// process; the previous handlers come back when this goes.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted = false;
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

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v != nullptr && *v != '\0') return true;
    return false;
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
        if (QGuiApplication::instance() == nullptr && !displayAvailable()) {
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

        static int argc = 1;
        static char arg0[] = "tmpro";
        static char* argv[] = {arg0, nullptr};
        std::unique_ptr<QGuiApplication> app;
        if (QGuiApplication::instance() == nullptr) app = std::make_unique<QGuiApplication>(argc, argv);
        {
            SecretClipboard clipboard(QGuiApplication::clipboard());
            QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            wipe(text.data(), text.size());
            clipboard.copySecret(value, seconds * 1000);
            value.fill(QChar(0));
            c.out << "Copied to the clipboard; it is cleared in " << seconds << " s (Ctrl-C clears it now)\n"
                  << std::flush;
            InterruptGuard guard;
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (g_interrupted || !clipboard.pending() || !clipboard.holdsSecret()) loop.quit();
            });
            poll.start(100);
            loop.exec();
            clipboard.clearIfOurs();
        }
        return finished;
    }
};

}  // namespace

std::unique_ptr<Command> makeClipCommand() {
    return std::make_unique<ClipCommand>();
}

}  // namespace tw::cli
