#include "resources/icons/IconCatalogue.h"

#include <QFile>
#include <optional>

namespace tw::icons {

namespace {

// Cells of a line: id, style, picture, colour, mark, meaning.
constexpr qsizetype kCells = 6;

std::optional<double> number(QStringView text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Fills the style and its arguments; an error text when the cell cannot be read.
QString readStyle(QStringView cell, CatalogueEntry& entry) {
    const qsizetype space = cell.indexOf(u' ');
    const QStringView word = space < 0 ? cell : cell.left(space);
    const QStringView argument = space < 0 ? QStringView() : cell.mid(space + 1);
    struct Named {
        QStringView word;
        IconStyle style;
    };
    static constexpr Named kStyles[] = {
        {u"glyph", IconStyle::Glyph},       {u"inner", IconStyle::Inner},     {u"tile", IconStyle::Tile},
        {u"document", IconStyle::Document}, {u"overlay", IconStyle::Overlay}, {u"strip", IconStyle::Strip},
    };
    const Named* named = nullptr;
    for (const Named& candidate : kStyles) {
        if (candidate.word == word) named = &candidate;
    }
    if (named == nullptr) return QStringLiteral("unknown style \"%1\"").arg(word);
    entry.style = named->style;
    if (entry.style == IconStyle::Inner) {
        const QList<QStringView> parts = argument.split(u',');
        std::optional<double> x, y, size;
        if (parts.size() == 3) {
            x = number(parts[0]);
            y = number(parts[1]);
            size = number(parts[2]);
        }
        if (!x || !y || !size || *size <= 0) return QStringLiteral("inner needs X,Y,SIZE");
        entry.markCentre = QPointF(*x, *y);
        entry.markSize = *size;
    } else if (entry.style == IconStyle::Strip) {
        bool ok = false;
        entry.stripImageSize = argument.toInt(&ok);
        if (!ok || entry.stripImageSize <= 0) return QStringLiteral("strip needs an image size");
    } else if (!argument.isEmpty()) {
        return QStringLiteral("style \"%1\" takes no argument").arg(word);
    }
    return {};
}

// The entry of one line, or an error text.
QString readLine(QStringView line, CatalogueEntry& entry) {
    const QList<QStringView> cells = line.split(u'\t');
    if (cells.size() != kCells) return QStringLiteral("expected %1 cells, found %2").arg(kCells).arg(cells.size());
    bool ok = false;
    entry.id = cells[0].toInt(&ok);
    if (!ok || entry.id < 0) return QStringLiteral("bad id \"%1\"").arg(cells[0]);
    if (QString error = readStyle(cells[1], entry); !error.isEmpty()) return error;
    for (QStringView picture : cells[2].split(u',')) {
        if (picture.isEmpty()) return QStringLiteral("empty picture name");
        entry.pictures.append(picture.toString());
    }
    for (QStringView colour : cells[3].split(u',')) {
        const QColor value = QColor::fromString(colour);
        if (!colour.startsWith(u'#') || !value.isValid()) return QStringLiteral("bad colour \"%1\"").arg(colour);
        entry.colours.append(value);
    }
    const qsizetype images = entry.style == IconStyle::Strip ? entry.pictures.size() : 1;
    if (entry.pictures.size() != images || entry.colours.size() != images) {
        return entry.style == IconStyle::Strip ? QStringLiteral("a strip needs one colour per picture")
                                               : QStringLiteral("expected one picture and one colour");
    }
    if (cells[4] != u"-") entry.mark = cells[4].toString();
    if ((entry.style == IconStyle::Inner) != !entry.mark.isEmpty()) {
        return QStringLiteral("a mark goes with the inner style, and only there");
    }
    entry.meaning = cells[5].toString();
    if (entry.meaning.isEmpty()) return QStringLiteral("no meaning given");
    return {};
}

}  // namespace

IconCatalogue IconCatalogue::parse(QStringView text) {
    IconCatalogue catalogue;
    int lineNumber = 0;
    for (QStringView line : text.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        CatalogueEntry entry;
        QString error = readLine(line, entry);
        if (error.isEmpty() && catalogue.m_index.contains(entry.id))
            error = QStringLiteral("id %1 given twice").arg(entry.id);
        if (!error.isEmpty()) {
            catalogue.m_problems.append(QStringLiteral("line %1: %2").arg(lineNumber).arg(error));
            continue;
        }
        catalogue.m_index.insert(entry.id, catalogue.m_entries.size());
        catalogue.m_entries.append(std::move(entry));
    }
    return catalogue;
}

const CatalogueEntry* IconCatalogue::find(int id) const {
    const auto at = m_index.constFind(id);
    return at == m_index.constEnd() ? nullptr : &m_entries[*at];
}

const IconCatalogue& catalogue() {
    static const IconCatalogue kCatalogue = [] {
        QFile file(QStringLiteral(":/tw/icons/icons.tsv"));
        if (!file.open(QIODevice::ReadOnly)) {
            IconCatalogue missing;
            missing.m_problems.append(QStringLiteral("the compiled-in catalogue is missing"));
            return missing;
        }
        return IconCatalogue::parse(QString::fromUtf8(file.readAll()));
    }();
    return kCatalogue;
}

}  // namespace tw::icons
