#include "views/CardServices.h"

#include <QLocale>
#include <QRegularExpression>

#include "views/UiContext.h"

namespace tw::ui {

namespace {

// Qt's date format letters are the wallet's picture letters but for the day-period marker.
std::u16string pictureOf(QString format) {
    format.replace(QStringLiteral("AP"), QStringLiteral("tt"));
    format.replace(QStringLiteral("ap"), QStringLiteral("tt"));
    format.replace(QStringLiteral("A"), QStringLiteral("tt"));
    format.replace(QStringLiteral("a"), QStringLiteral("tt"));
    return toU16(format);
}

}  // namespace

LocalePatterns systemLocalePatterns() {
    const QLocale locale;
    LocalePatterns patterns;
    patterns.shortDate = pictureOf(locale.dateFormat(QLocale::ShortFormat));
    patterns.time = pictureOf(locale.timeFormat(QLocale::ShortFormat));
    const QString time = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype colon = time.indexOf(QRegularExpression(QStringLiteral("[^hHmsaApPt ]")));
    patterns.timeSeparator = colon >= 0 ? toU16(time.mid(colon, 1)) : u":";
    return patterns;
}

}  // namespace tw::ui
