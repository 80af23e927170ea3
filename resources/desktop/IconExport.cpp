// tw_icon_export FOLDER: draws the program's icon and its three document icons into a hicolor
// icon theme under FOLDER (FOLDER/hicolor/<n>x<n>/{apps,mimetypes}/<name>.png), for the desktop's
// menus and file managers.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include "resources/icons/IconArt.h"

namespace {

struct ThemeIcon {
    int resource;
    const char* context;
    const char* name;
};

constexpr ThemeIcon kIcons[] = {
    {tw::icons::kProgram, "apps", "com.halvorsgarden.TallowmerePro"},
    {tw::icons::kWalletDocument, "mimetypes", "application-x-tallowmere-wallet"},
    {tw::icons::kOldWalletDocument, "mimetypes", "application-x-tallowmere-old-wallet"},
    {tw::icons::kFormDocument, "mimetypes", "application-x-tallowmere-form"},
};
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err << "usage: tw_icon_export FOLDER\n";
        return 2;
    }
    for (const ThemeIcon& icon : kIcons) {
        for (int size : kSizes) {
            const QString folder =
                QStringLiteral("%1/hicolor/%2x%2/%3").arg(args[1]).arg(size).arg(QLatin1String(icon.context));
            const QString path = folder + QLatin1Char('/') + QLatin1String(icon.name) + QStringLiteral(".png");
            if (!QDir().mkpath(folder) || !tw::icons::renderIcon(icon.resource, size).save(path)) {
                err << "cannot write " << path << '\n';
                return 1;
            }
        }
    }
    return 0;
}
