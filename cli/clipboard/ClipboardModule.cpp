// libtmpro-clip.so: the clipboard for `tmpro clip`, on Qt Gui.
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "cli/clipboard/ClipboardApi.h"
#include "platform/SecretClipboard.h"

namespace {

int displayAvailable() {
    if (QGuiApplication::instance() != nullptr) return 1;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v != nullptr && *v != '\0') return 1;
    return 0;
}

int holdSecret(const TwClipboardRequest* request) {
    static int argc = 1;
    static char arg0[] = "tmpro";
    static char* argv[] = {arg0, nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (QGuiApplication::instance() == nullptr) app = std::make_unique<QGuiApplication>(argc, argv);
    tw::SecretClipboard clipboard(QGuiApplication::clipboard());
    QString value = QString::fromUtf8(request->text, static_cast<qsizetype>(request->size));
    clipboard.copySecret(value, request->seconds * 1000);
    value.fill(QChar(0));
    request->copied(request->context);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (*request->interrupted != 0 || !clipboard.pending() || !clipboard.holdsSecret()) loop.quit();
    });
    poll.start(100);
    loop.exec();
    clipboard.clearIfOurs();
    return 0;
}

const TwClipboardModule kModule{kTwClipboardVersion, displayAvailable, holdSecret};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TwClipboardModule* tw_clipboard_module() {
    return &kModule;
}
