#pragma once

// The icon catalogue: for every picture the program draws, by resource id, how it is drawn and
// what it stands for. The table lives in resources/icons/icons.tsv and is compiled into the
// program; docs/icons.md shows it.

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tw::icons {

enum class IconStyle {
    Glyph,     // the picture in the colour, filling the square
    Inner,     // the same, with the mark cut out of it
    Tile,      // the picture in white on a rounded square in the colour
    Document,  // the picture in white on a page with a folded corner in the colour
    Overlay,   // the picture in white on a small disc in the colour, lower left
    Strip,     // one image per picture, side by side
};

struct CatalogueEntry {
    int id = 0;
    IconStyle style = IconStyle::Glyph;
    // One picture and one colour; for a strip one of each per image. A picture is a Material
    // Icons name ("credit_card") or one of ours ("drawn:safe").
    QStringList pictures;
    QList<QColor> colours;
    // Inner: the picture cut out, its centre and width in units of the pictures' 24-unit grid.
    QString mark;
    QPointF markCentre;
    double markSize = 0;
    // Strip: the side of each image at scale 1, in pixels.
    int stripImageSize = 0;
    QString meaning;
};

class IconCatalogue {
public:
    // Reads the tab-separated table. A line that cannot be read is left out and described in
    // problems(), with its line number; the other lines still count.
    static IconCatalogue parse(QStringView text);

    const QList<CatalogueEntry>& entries() const { return m_entries; }
    // Null when the id is not catalogued.
    const CatalogueEntry* find(int id) const;
    const QStringList& problems() const { return m_problems; }

private:
    friend const IconCatalogue& catalogue();

    QList<CatalogueEntry> m_entries;
    QHash<int, qsizetype> m_index;  // id -> position in m_entries
    QStringList m_problems;
};

// The catalogue compiled into the program, read once on first use.
const IconCatalogue& catalogue();

}  // namespace tw::icons
