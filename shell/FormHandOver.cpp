#include "shell/FormHandOver.h"

#include <QLocale>

#include "model/FormLayoutFile.h"
#include "storage/WalletFile.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kInfoCaption = 20001;
constexpr std::uint32_t kCannotRead = 22070;
constexpr std::uint32_t kOpenWalletFirst = 25763;

std::u16string windowsPattern(QString pattern) {
    pattern.replace(QStringLiteral("AP"), QStringLiteral("tt")).replace(QStringLiteral("ap"), QStringLiteral("tt"));
    return ui::toU16(pattern);
}

}  // namespace

LocalePatterns desktopLocalePatterns() {
    const QLocale locale;
    LocalePatterns patterns;
    patterns.shortDate = windowsPattern(locale.dateFormat(QLocale::ShortFormat));
    patterns.time = windowsPattern(locale.timeFormat(QLocale::ShortFormat));
    const QString time = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype at = time.indexOf(QLatin1Char('m'));
    patterns.timeSeparator = at > 0 ? ui::toU16(time.mid(at - 1, 1)) : std::u16string(u":");
    return patterns;
}

bool offerFormImport(const ui::UiContext& ui, WalletFile& wallet, const std::string& path) {
    if (!wallet.isOpen()) {
        ui.message(kOpenWalletFirst, kInfoCaption, Buttons::Ok, Icon::Information);
        return false;
    }
    const FormLayoutResult result = importForm(wallet, path, desktopLocalePatterns());
    if (result == FormLayoutResult::Ok) return true;
    if (result != FormLayoutResult::Declined) ui.message(kCannotRead, kErrorCaption, Buttons::Ok, Icon::Stop);
    return false;
}

}  // namespace tw::shell
