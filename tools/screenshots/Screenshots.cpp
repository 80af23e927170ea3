// Renders every window and dialog of the program (Screens.cpp) to PNG files, in both device kinds
// and every language file it is given, at the scale Qt runs with (QT_SCALE_FACTOR):
//   tw_screenshots OUTPUT_FOLDER LANGUAGE_FILE...
// writes OUTPUT_FOLDER/<device>-<language>/<screen>.png. tools/screenshots.sh runs it.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <algorithm>
#include <cstdio>

#include "Screens.h"
#include "model/SampleWallet.h"
#include "platform/LanguageFile.h"
#include "platform/MemoryFile.h"
#include "platform/PosixFile.h"
#include "storage/FormatUpgrade.h"
#include "views/FontCache.h"

namespace tw::screenshots {
namespace {

bool renderAll(const QString& output, const std::string& languageFile) {
    PosixFileSystem disk;
    StringTable strings;
    std::uint16_t language = 0;
    if (loadLanguageModuleFile(disk, languageFile, strings, &language) != LanguageLoad::Loaded) {
        std::fprintf(stderr, "tw_screenshots: cannot load %s\n", languageFile.c_str());
        return false;
    }
    for (app::DeviceKind device : {app::DeviceKind::PocketPC, app::DeviceKind::Smartphone}) {
        MemoryFileSystem files;
        FixedClock clock{SystemTime{2026, 3, 2, 17, 9, 30, 0, 0}};
        SequenceRandom random{2006};
        ScriptedPrompt prompt;
        FakeSystem system;
        Env env{files, clock, random, strings, prompt, system};
        const std::string path = "/samples/My Sample Wallet.tm5";
        WalletFile wallet(env);
        if (!buildSampleWallet(env, path) ||
            openOrUpgrade(wallet, path, std::u16string_view(u"tallowmere"), true, nullptr).open != OpenResult::Ok) {
            std::fprintf(stderr, "tw_screenshots: the sample wallet cannot be made\n");
            return false;
        }
        app::Settings settings = app::Settings::defaults(device);
        ui::FontCache fonts(QApplication::font(), true);
        const ui::UiContext ui{strings, settings, device, fonts, prompt, ui::screenDpi()};
        ScreenContext context{ui, wallet};
        const QString folder =
            QStringLiteral("%1/%2-%3")
                .arg(output, app::isSmartphone(device) ? QStringLiteral("smartphone") : QStringLiteral("pocketpc"))
                .arg(language, 4, 16, QLatin1Char('0'));
        QDir().mkpath(folder);
        for (const Screen& screen : allScreens()) {
            std::unique_ptr<QWidget> widget = screen.build(context);
            widget->show();
            // Dialogs take their natural size (also beyond the small screen of the offscreen
            // platform, which adjustSize() would keep them to), with wrapped labels given the
            // height they need at that width; the main window keeps the size it chose.
            if (!widget->inherits("QMainWindow")) {
                QSize size = widget->sizeHint().expandedTo(widget->minimumSizeHint());
                if (QLayout* layout = widget->layout(); layout && layout->hasHeightForWidth())
                    size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
                widget->resize(size);
            }
            QApplication::processEvents();
            const QString file = folder + QLatin1Char('/') + QLatin1String(screen.name) + QStringLiteral(".png");
            if (!widget->grab().save(file)) {
                std::fprintf(stderr, "tw_screenshots: cannot write %s\n", qPrintable(file));
                return false;
            }
            widget->close();
        }
    }
    return true;
}

}  // namespace
}  // namespace tw::screenshots

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tw_screenshots OUTPUT_FOLDER LANGUAGE_FILE...\n");
        return 2;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (!tw::screenshots::renderAll(args.at(1), QFile::encodeName(args.at(i)).toStdString())) return 1;
    }
    return 0;
}
