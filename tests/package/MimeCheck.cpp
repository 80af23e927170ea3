// tw_mime_check FILE...: the MIME type Qt's database gives each file (by content and name), one
// per line, as the program's file dialogs and the desktop's Qt programs see it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QMimeDatabase database;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) out << database.mimeTypeForFile(args[i]).name() << '\n';
    return args.size() > 1 ? 0 : 2;
}
