// tw_icon_sheet FOLDER: writes the icon sheets (every catalogued picture at 16 and 32 pixels, at
// scale 1 and 2, on light and dark paper) into FOLDER as PNG files and lists them.
#include <QGuiApplication>
#include <QTextStream>

#include "resources/icons/IconCatalogue.h"
#include "resources/icons/IconSheet.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err << "usage: tw_icon_sheet FOLDER\n";
        return 2;
    }
    for (const QString& problem : tw::icons::catalogue().problems()) err << "icons.tsv: " << problem << '\n';
    const QStringList written = tw::icons::writeIconSheets(args[1]);
    QTextStream out(stdout);
    for (const QString& path : written) out << path << '\n';
    if (written.size() != 8) {
        err << "could not write the sheets into " << args[1] << '\n';
        return 1;
    }
    return tw::icons::catalogue().problems().isEmpty() ? 0 : 1;
}
