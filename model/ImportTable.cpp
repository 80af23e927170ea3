#include "model/ImportTable.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "model/WholeFile.h"
#include "platform/Text.h"

namespace tw {
namespace {

std::u16string decodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    // An odd last byte is half a character and is dropped.
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t lo = bigEndian ? bytes[2 * i + 1] : bytes[2 * i];
        const std::uint8_t hi = bigEndian ? bytes[2 * i] : bytes[2 * i + 1];
        text[i] = static_cast<char16_t>(lo | (hi << 8));
    }
    return text;
}

std::u16string decodeText(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return decodeUtf16(bytes.subspan(2), false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return decodeUtf16(bytes.subspan(2), true);
    std::string_view eightBit(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    eightBit = eightBit.substr(0, eightBit.find('\0'));
    if (!isValidUtf8(eightBit)) return fromWindows1252(eightBit);
    std::u16string text = fromUtf8(eightBit);
    // A UTF-8 byte-order mark is no more part of the text than the UTF-16 ones.
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
    return text;
}

// Rows end at CR (CR LF counting as one row end). A bare LF is text inside a cell, as in the
// multi-line cells spreadsheets write, except in a text without any CR: there LF ends rows.
struct RowEnds {
    bool atLineFeed;

    bool at(char16_t c) const { return c == u'\r' || (atLineFeed && c == u'\n'); }
    // Length of the row end starting at `at`.
    static std::size_t length(std::u16string_view text, std::size_t at) {
        return text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
    }
};

}  // namespace

ImportTableResult ImportTable::read(FileSystem& files, const std::string& path, ImportTable* table) {
    *table = ImportTable{};
    std::vector<std::uint8_t> bytes;
    switch (readWholeFile(files, path, kMaxFileBytes, &bytes)) {
        case WholeFileResult::Done:
            break;
        case WholeFileResult::CannotOpen:
        case WholeFileResult::Empty:
            return ImportTableResult::CannotOpen;
        case WholeFileResult::TooLarge:
            return ImportTableResult::NoMemory;
        case WholeFileResult::CannotRead:
            return ImportTableResult::CannotRead;
    }
    *table = decode(bytes);
    return ImportTableResult::Done;
}

namespace {

// The cells of a text, row after row, and how its rows end.
struct Cells {
    struct Cell {
        std::size_t start;
        std::size_t length;
        std::size_t unquoted;  // index into `unquoted`, or npos for a cell read as it stands
    };
    std::vector<Cell> cells;
    std::vector<std::u16string> unquoted;
    std::size_t rowEnds = 0;
    std::size_t firstRowCells = 0;
    bool carriageReturnInText = false;  // a CR outside the quoted cells
};

// A cell that starts with a double quote and ends with one followed by a TAB, a row end or the
// end of the text, as spreadsheets write a cell holding a TAB, a line end or a quote: what lies
// between, each doubled quote read as one. Its end (the closing quote) goes to `*close`.
std::optional<std::u16string> quotedCell(std::u16string_view t, std::size_t start, const RowEnds& rowEnd,
                                         std::size_t* close) {
    std::u16string text;
    for (std::size_t i = start + 1; i < t.size(); ++i) {
        if (t[i] != u'"') {
            text.push_back(t[i]);
            continue;
        }
        if (i + 1 < t.size() && t[i + 1] == u'"') {
            text.push_back(u'"');
            ++i;
            continue;
        }
        if (i + 1 < t.size() && t[i + 1] != u'\t' && !rowEnd.at(t[i + 1])) return std::nullopt;
        *close = i;
        return text;
    }
    return std::nullopt;
}

Cells splitCells(std::u16string_view t, const RowEnds& rowEnd) {
    Cells out;
    for (std::size_t start = 0;;) {
        std::size_t end = start;
        std::size_t close = 0;
        std::optional<std::u16string> quoted;
        if (start < t.size() && t[start] == u'"') quoted = quotedCell(t, start, rowEnd, &close);
        if (quoted) {
            out.cells.push_back({start, close + 1 - start, out.unquoted.size()});
            out.unquoted.push_back(std::move(*quoted));
            end = close + 1;
        } else {
            while (end < t.size() && t[end] != u'\t' && !rowEnd.at(t[end])) {
                if (t[end] == u'\r') out.carriageReturnInText = true;
                ++end;
            }
            out.cells.push_back({start, end - start, std::u16string::npos});
        }
        if (end >= t.size()) break;
        if (out.rowEnds == 0) ++out.firstRowCells;
        if (t[end] == u'\t') {
            start = end + 1;
        } else {
            out.carriageReturnInText |= t[end] == u'\r';
            ++out.rowEnds;
            start = end + RowEnds::length(t, end);
        }
    }
    if (out.rowEnds == 0) out.firstRowCells = out.cells.size();
    return out;
}

}  // namespace

ImportTable ImportTable::decode(std::span<const std::uint8_t> bytes) {
    ImportTable table;
    std::u16string text = decodeText(bytes);
    text.resize(std::min(text.size(), text.find(u'\0')));  // the text ends at its first NUL
    table.m_text = std::move(text);
    const std::u16string_view t = table.m_text;

    // Rows end at LF only in a text without a CR outside its quoted cells.
    Cells cells = splitCells(t, RowEnds{true});
    if (cells.carriageReturnInText) cells = splitCells(t, RowEnds{false});
    table.m_rows = cells.rowEnds + 1;
    table.m_columns = cells.firstRowCells;
    // Both counts are bounded by the text length, so the product cannot overflow a 64-bit size;
    // the check keeps it honest elsewhere.
    const std::size_t limit = table.m_columns > std::numeric_limits<std::size_t>::max() / table.m_rows
                                  ? std::numeric_limits<std::size_t>::max()
                                  : table.m_rows * table.m_columns;
    if (cells.cells.size() > limit) cells.cells.resize(limit);
    for (const Cells::Cell& c : cells.cells) table.m_cells.push_back({c.start, c.length, c.unquoted});
    table.m_unquoted = std::move(cells.unquoted);
    return table;
}

std::u16string_view ImportTable::cell(std::size_t number) const {
    if (number >= m_cells.size()) return {};
    if (m_cells[number].unquoted != std::u16string::npos) return m_unquoted[m_cells[number].unquoted];
    std::u16string_view text = std::u16string_view(m_text).substr(m_cells[number].start, m_cells[number].length);
    if (!text.empty() && text.back() == u'"') text.remove_suffix(1);
    if (!text.empty() && text.front() == u'"') text.remove_prefix(1);
    return text;
}

std::u16string_view ImportTable::cell(std::size_t row, std::size_t column) const {
    if (column >= m_columns || row >= m_rows) return {};
    return cell(row * m_columns + column);
}

}  // namespace tw
