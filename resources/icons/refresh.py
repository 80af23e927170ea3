#!/usr/bin/python3
"""Keeps the committed icon pictures and the icon catalogue's document up to date.

    resources/icons/refresh.py pictures   rewrite material/*.svg from the installed Material Icons
    resources/icons/refresh.py doc        rewrite docs/icons.md's tables from icons.tsv

The pictures come from Debian's fonts-material-design-icons-iconfont (the Material Icons font and
the style sheet that names its glyphs) and need python3-fonttools to read the font:

    apt-get install fonts-material-design-icons-iconfont python3-fonttools

Each picture named in icons.tsv is written as material/NAME.svg: the glyph's outline on the
font's 24-unit grid, y pointing down, with a view box that keeps the usual 2-unit margin unless
the glyph reaches further out. Pictures that the catalogue no longer names are removed, and
material/LICENSE records the package version and its licence. The build reads only the committed
files, so it does not depend on the font or on the version Debian ships.
"""

import hashlib
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CATALOGUE = os.path.join(HERE, "icons.tsv")
MATERIAL = os.path.join(HERE, "material")
DOC = os.path.join(ROOT, "docs", "icons.md")

PACKAGE = "fonts-material-design-icons-iconfont"
FONT = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"
CSS = "/usr/share/fonts-material-design-icons-iconfont/css/material-design-icons.css"
APACHE = "/usr/share/common-licenses/Apache-2.0"

GRID = 24.0
MARGIN = 2.0


def read_catalogue():
    """Rows of icons.tsv as dicts; comment and blank lines skipped."""
    rows = []
    with open(CATALOGUE, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) != 6:
                sys.exit(f"icons.tsv:{number}: expected 6 cells, found {len(cells)}")
            rows.append(dict(zip(("id", "style", "picture", "colour", "mark", "meaning"), cells)))
    return rows


def material_names(rows):
    names = set()
    for row in rows:
        for cell in (row["picture"], row["mark"]):
            for name in cell.split(","):
                if name != "-" and not name.startswith("drawn:"):
                    names.add(name)
    return sorted(names)


def number(value):
    text = f"{value:.3f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def refresh_pictures():
    try:
        from fontTools.pens.boundsPen import BoundsPen
        from fontTools.pens.svgPathPen import SVGPathPen
        from fontTools.pens.transformPen import TransformPen
        from fontTools.ttLib import TTFont
    except ImportError:
        sys.exit("needs python3-fonttools (apt-get install python3-fonttools)")
    for path in (FONT, CSS):
        if not os.path.exists(path):
            sys.exit(f"{path} is missing (apt-get install {PACKAGE})")

    with open(CSS, encoding="utf-8") as f:
        codepoints = {
            name: int(code, 16)
            for name, code in re.findall(
                r'\.material-icons\.([a-z0-9_]+):before\s*\{\s*content:\s*"\\([0-9a-fA-F]+)"', f.read()
            )
        }
    font = TTFont(FONT)
    em = font["head"].unitsPerEm
    cmap = font.getBestCmap()
    glyphs = font.getGlyphSet()
    scale = GRID / em

    wanted = material_names(read_catalogue())
    missing = [name for name in wanted if codepoints.get(name) not in cmap]
    if missing:
        sys.exit("not in the installed Material Icons: " + ", ".join(missing))

    os.makedirs(MATERIAL, exist_ok=True)
    for name in wanted:
        glyph = glyphs[cmap[codepoints[name]]]
        bounds = BoundsPen(glyphs)
        glyph.draw(bounds)
        x0, y0, x1, y1 = bounds.bounds
        # Margins on the grid, y pointing down: the view box keeps 2 units unless the glyph is larger.
        margin = min(MARGIN, x0 * scale, (em - y1) * scale, GRID - x1 * scale, GRID - (em - y0) * scale)
        # (outlines sit on 512ths of the em, so an edge may stray a little past its grid line)
        margin = max(0.0, int((margin + 0.1) * 2) / 2)
        pen = SVGPathPen(glyphs, ntos=number)
        glyph.draw(TransformPen(pen, (scale, 0, 0, -scale, 0, GRID)))
        side = number(GRID - 2 * margin)
        with open(os.path.join(MATERIAL, name + ".svg"), "w", encoding="utf-8") as out:
            out.write(
                f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="{number(margin)} {number(margin)} {side} {side}">'
                f'<path d="{pen.getCommands()}"/></svg>\n'
            )
    for file in os.listdir(MATERIAL):
        if file.endswith(".svg") and file[:-4] not in wanted:
            os.remove(os.path.join(MATERIAL, file))

    version = subprocess.run(
        ["dpkg-query", "-W", "-f=${Version}", PACKAGE], capture_output=True, text=True
    ).stdout.strip() or "unknown"
    with open(FONT, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(APACHE, encoding="utf-8") as f:
        apache = f.read()
    with open(os.path.join(MATERIAL, "LICENSE"), "w", encoding="utf-8") as out:
        out.write(
            "The pictures in this folder are glyph outlines taken from Material Icons\n"
            f"(MaterialIcons-Regular.ttf, sha256 {digest}),\n"
            f"as shipped by the Debian package {PACKAGE} {version}.\n\n"
            "Copyright 2014-2020 Material Design Authors; 2019-2022 Jossef Harush.\n"
            "Licensed under the Apache License, Version 2.0, whose text follows.\n\n" + apache
        )
    print(f"{len(wanted)} pictures from {PACKAGE} {version}")


def markdown_cell(text):
    return text.replace("|", "\\|")


def picture_source(picture):
    if picture.startswith("drawn:"):
        return f"`{picture}` (ours)"
    return ", ".join(f"`{name}`" for name in picture.split(","))


def refresh_doc():
    rows = read_catalogue()
    by_id = {int(row["id"]): row for row in rows}

    def line(label, row):
        mark = "" if row["mark"] == "-" else f" with `{row['mark']}` cut out"
        style = row["style"].split(" ")[0]
        return (
            f"| {label} | {markdown_cell(row['meaning'])} | {picture_source(row['picture'])}{mark} "
            f"| {style} | {row['colour'].replace(',', ', ')} |"
        )

    header = "| {} | meaning | picture | style | colour |\n|---|---|---|---|---|"
    builtin = [header.format("number (resource)")]
    builtin += [line(f"{i - 300} ({i})", by_id[i]) for i in sorted(by_id) if 300 <= i <= 443]
    others = [header.format("resource")]
    others += [line(str(i), by_id[i]) for i in sorted(by_id) if not 300 <= i <= 443]
    tables = (
        "<!-- Made by resources/icons/refresh.py doc from resources/icons/icons.tsv; edit the table there. -->\n\n"
        "### Built-in card and folder icons\n\n" + "\n".join(builtin) + "\n\n"
        "### Overlays, actions, the program, its documents, title strips and button strips\n\n"
        + "\n".join(others)
        + "\n"
    )
    with open(DOC, encoding="utf-8") as f:
        text = f.read()
    begin, end = "<!-- catalogue begin -->\n", "<!-- catalogue end -->"
    if begin not in text or end not in text:
        sys.exit(f"{DOC} lacks the markers {begin.strip()} and {end}")
    head, rest = text.split(begin, 1)
    tail = rest.split(end, 1)[1]
    with open(DOC, "w", encoding="utf-8") as f:
        f.write(head + begin + tables + end + tail)
    print(f"{len(rows)} catalogue rows written to {os.path.relpath(DOC, ROOT)}")


if __name__ == "__main__":
    jobs = {"pictures": refresh_pictures, "doc": refresh_doc}
    if len(sys.argv) != 2 or sys.argv[1] not in jobs:
        sys.exit(__doc__)
    jobs[sys.argv[1]]()
