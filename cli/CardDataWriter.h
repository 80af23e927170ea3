#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/RecordHeader.h"
#include "storage/WalletIndex.h"

namespace tw {
class Card;
class PieceArena;
class WalletFile;
}  // namespace tw

namespace tw::cli {

// Writes cards for the csv and json exports straight from their UTF-16 texts into a PieceArena,
// keeping what cards share: the path of each folder and the name of each form are made once.
//
// csv: one row per field (RFC 4180, CR LF): Path, Card, Form, Field, Kind, Value, with the note
// as the field Note of kind note; values as scriptValue gives them; passwords as ******** unless
// included. A cell is quoted when it holds a comma, a quote or a line end.
// json: the card as writeCardJson writes it, as a fragment (no line feed after it).
//
// The wallet must not change while the writer is in use.
class CardDataWriter {
public:
    enum class Format { Csv, Json };

    CardDataWriter(WalletFile& wallet, Format format, bool passwords);
    ~CardDataWriter();
    CardDataWriter(const CardDataWriter&) = delete;
    CardDataWriter& operator=(const CardDataWriter&) = delete;

    // The card (the live record at index `position`, with its header) as csv rows or one json
    // object; the text stays in `arena`.
    std::string_view write(PieceArena& arena, std::size_t position, const Card& card);

private:
    struct FormName {
        FormRef ref;
        std::string name;
    };

    // The card's path as pathOf gives it, in m_path.
    void makePath(std::size_t position);
    const std::string& formOf(const Card& card);
    char* csv(char* out, const Card& card, std::u16string_view name, std::string_view form);
    char* json(char* out, const Card& card, std::u16string_view name, std::string_view form);

    WalletFile& m_wallet;
    Format m_format;
    bool m_passwords;
    // Per parent identifier: the names of the enclosing folders, outermost first, each followed by "/".
    std::unordered_map<RecordId, std::string, RecordIdHash> m_folderPaths;
    std::vector<FormName> m_forms;
    std::string m_path;
};

}  // namespace tw::cli
