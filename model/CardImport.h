#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ImportTable.h"
#include "platform/File.h"
#include "platform/Prompt.h"
#include "platform/StringTable.h"

namespace tw {

// What the store must make of an imported table: one new top-level folder, and in it one card
// per accepted row, every field of the text kind with automatic capitals.
constexpr std::int32_t kImportFolderIcon = 72;
constexpr std::int32_t kImportCardIcon = 50;
constexpr std::uint32_t kImportFieldKind = 15;

struct ImportedField {
    std::u16string name;   // the header cell of the column
    std::u16string value;  // the row's cell; empty when the row has no such cell
};

// One accepted row: the card's name (column 0) and one field per further column, in order, up to
// the 255 fields a card can hold.
struct ImportedCard {
    std::u16string name;
    std::vector<ImportedField> fields;
};

// Receives the result of an import as it is accepted, row by row.
class ImportSink {
public:
    virtual ~ImportSink() = default;
    // Called once, before the first accepted row: make the new top-level folder.
    virtual void beginFolder(const std::u16string& name) = 0;
    // One accepted row, to become a card in that folder. A card the store cannot make or write
    // is its own concern: the row counts as imported either way.
    virtual void addCard(const ImportedCard& card) = 0;
};

struct ImportSettings {
    std::u16string today;     // today's date in the user's short-date form, for the folder name
    bool offerCancel = true;  // questions offer Yes/No/Cancel (Pocket PC), else Yes/No (Smartphone)
};

// Reads the table file and imports it: see importTable. A file that cannot be read shows
// message 22070 and imports nothing. Returns the number of accepted rows.
std::size_t importCards(FileSystem& files, const std::string& path, const StringTable& strings, Prompt& prompt,
                        ImportSink& sink, const ImportSettings& settings);

// Imports the card rows of a table, asking through `prompt`. A table whose first cell is not
// "CardName" or "Card Name" (any case), or with fewer than 2 columns or no card row, shows
// message 22071 and imports nothing. Each row is previewed and confirmed (Yes imports, No skips,
// Cancel ends); at the fifth of ten or more card rows the user is offered, once, to import all the
// rest without asking. Before the first accepted row the sink is told the folder name; at the end,
// when rows were accepted, message 22075 reports their count. Returns that count.
std::size_t importTable(const ImportTable& table, const StringTable& strings, Prompt& prompt, ImportSink& sink,
                        const ImportSettings& settings);

// True when a column header names a password or PIN, in the languages of the language files and
// as other programs' exports write it ("Password", "PIN", "Passwort", "Mot de passe", ...),
// without regard to case or surrounding spaces.
bool isPasswordHeader(std::u16string_view header);

// The parts of an import, exposed for the callers that show them elsewhere.
bool hasImportHeader(const ImportTable& table);
// Rows after the header, less a last row whose first cell is empty (a file ending in a line end).
std::size_t cardRowCount(const ImportTable& table);
// String 22041, a space and the date text.
std::u16string importFolderName(const StringTable& strings, std::u16string_view today);
// The confirmation text for one card row, at most 2047 characters; the values of password
// columns (isPasswordHeader) read ********.
std::u16string importPreview(const ImportTable& table, std::size_t row, const StringTable& strings);
ImportedCard importedCard(const ImportTable& table, std::size_t row);

}  // namespace tw
