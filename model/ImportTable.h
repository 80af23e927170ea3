#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace tw {

// Outcome of reading an import table file. The values are fixed: callers compare them.
enum class ImportTableResult : int {
    Done = 0,
    CannotOpen = 1,  // missing, or empty
    CannotRead = 3,  // a read failed
    NoMemory = 4,    // too large to hold
};

// A tab-separated text table, as decoded from a file: UTF-16LE after the mark FF FE, UTF-16BE
// after FE FF, else 8-bit (UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252). The
// text ends at its first NUL.
//
// Rows end in CR LF (a lone CR also ends a row; a bare LF is part of its cell, except in a text
// without any CR outside its quoted cells, whose rows end at LF); cells are separated by TAB. A
// cell quoted as spreadsheets write it (a double quote first, and a closing one followed by a TAB,
// a row end or the end of the text) may hold TABs, line ends and doubled quotes, each pair read
// as one quote. The column count is the number of cells in the first row. Cells are numbered
// through the whole text, row after row, so cell (row r, column c) is cell number r * columns + c:
// a row with too few or too many cells shifts every later row. Cells past rows * columns are
// ignored.
class ImportTable {
public:
    static constexpr std::size_t kMaxFileBytes = 16u << 20;

    // Reads and decodes a file; on failure `*table` is left empty (no rows).
    static ImportTableResult read(FileSystem& files, const std::string& path, ImportTable* table);
    // Decodes bytes as read from a file. Any byte sequence is accepted.
    static ImportTable decode(std::span<const std::uint8_t> bytes);

    std::size_t rows() const { return m_rows; }
    std::size_t columns() const { return m_columns; }
    std::size_t cellCount() const { return m_cells.size(); }

    // A quoted cell's text; any other cell's text with one double quote at its end and one at its
    // start removed (each only when present); empty for a cell number that does not exist.
    std::u16string_view cell(std::size_t number) const;
    std::u16string_view cell(std::size_t row, std::size_t column) const;
    const std::u16string& text() const { return m_text; }

private:
    struct Cell {
        std::size_t start;
        std::size_t length;
        std::size_t unquoted;  // index into m_unquoted for a quoted cell, else npos
    };

    std::u16string m_text;
    std::vector<std::u16string> m_unquoted;
    std::size_t m_rows = 0;
    std::size_t m_columns = 0;
    std::vector<Cell> m_cells;
};

}  // namespace tw
