#include "shell/WalletChooser.h"

#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>

#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kTitle = 25001;
constexpr std::uint32_t kFilterName = 25005;

}  // namespace

std::optional<std::string> FileDialogChooser::choose(QWidget* parent) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString filter = m_ui.text(kFilterName) + QStringLiteral(" (*.tm5 *.wal)");
    const QString path = QFileDialog::getOpenFileName(parent, m_ui.text(kTitle), folder, filter);
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

}  // namespace tw::shell
