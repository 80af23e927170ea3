#pragma once

// Sheets that show every catalogued picture with its number, for people to look at: the built-in
// card and folder icons by number, then the overlays, actions, program and document icons, title
// strip icons and button strips by resource id. Sheets of 32-pixel icons also give each meaning.
// Needs a QGuiApplication (the labels are text).

#include <QImage>
#include <QString>
#include <QStringList>

namespace tw::icons {

enum class SheetBackground { Light, Dark };

QImage renderIconSheet(int iconSize, qreal devicePixelRatio, SheetBackground background);

// Writes icons-<size>px-<scale>x-<light|dark>.png into the folder (made when missing) for the
// sizes 16 and 32, the scales 1 and 2 and both backgrounds. Returns the files written; stops at
// the first one that cannot be written and then returns what was written before it.
QStringList writeIconSheets(const QString& folder);

}  // namespace tw::icons
