#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Card.h"
#include "platform/Clock.h"
#include "storage/KeyRecord.h"
#include "storage/Keys.h"
#include "storage/RecordHeader.h"

namespace tw::test {

// Builds ".tm5" files of the previous format: version text "(5.00) ", the record key kept at key
// block offset 56 enciphered under the file key, a check value equal to the record key made from
// the password (none without a password), and every record name and card body item enciphered
// under the kept key. By default the kept key differs from the one the password makes, so a pass
// that leaves an item alone shows.
class OldTm5Builder {
public:
    static Key16 defaultStoredKey();

    OldTm5Builder(std::optional<std::u16string> password, const SystemTime& created,
                  const Key16& storedKey = defaultStoredKey());

    const KeyRecord& storedKey() const { return m_storedKey; }

    RecordId addFolder(std::u16string_view name, const RecordId& parent = {}, RecordType type = RecordType::Folder,
                       std::int32_t icon = 5);
    // The card's body is serialised under the kept key; the card needs no header.
    RecordId addCard(std::u16string_view name, const RecordId& parent, const Card& card);
    // A card whose body is given as stored (already enciphered as the test wants).
    RecordId addCardBody(std::u16string_view name, const RecordId& parent, const std::vector<std::uint8_t>& body);
    // A deletion marker (a deleted card header without body).
    void addDeletionMarker(std::u16string_view name);

    std::vector<std::uint8_t> bytes() const;

private:
    RecordId nextId();
    RecordHeader header(RecordType type, std::u16string_view name, const RecordId& parent);
    void append(RecordHeader& h, const std::vector<std::uint8_t>& body);

    std::optional<std::u16string> m_password;
    SystemTime m_created;
    KeyRecord m_storedKey;
    std::uint32_t m_nextId = 1;
    std::vector<std::uint8_t> m_records;
};

// One tagged item of an older wallet's card data.
struct WalItem {
    std::uint32_t tag;
    std::vector<std::uint8_t> bytes;
};
// A text item's bytes: UTF-16LE with its NUL.
std::vector<std::uint8_t> walText(std::u16string_view text);
std::vector<std::uint8_t> walU32(std::uint32_t value);

struct WalCard {
    std::uint32_t id = 0;
    std::uint32_t folder = 0;
    std::uint32_t form = 0;
    std::uint32_t icon = 0;
    std::uint32_t colour = 0;
    std::uint32_t background = 0xFFFFFF;
    bool enciphered = true;
    std::uint16_t picture = 0;
    std::uint8_t bold = 0;
    std::uint8_t sound = 0;
    std::u16string name;
    std::vector<WalItem> items;
};

// Builds older ".wal" wallets: the 844-byte header with its signature, both magics, the salt and
// the check block for the password, the custom forms file name, then folder and card records in
// the order they were added, each card followed by its tagged data (one RC4 stream under the key
// made from the salt and the password when the card says it is enciphered).
class WalBuilder {
public:
    // The password as the older program took it: 8-bit bytes (Windows-1252), without NUL.
    explicit WalBuilder(std::string passwordBytes);

    std::array<std::uint8_t, 8> salt{{0x5A, 0x11, 0xC3, 0x07, 0x9E, 0x42, 0x28, 0xF0}};
    std::u16string customForms;
    std::array<std::uint32_t, 14> words{};

    void addFolder(std::uint32_t id, std::uint32_t defaultForm, std::uint32_t icon, std::u16string_view name);
    void addCard(const WalCard& card);
    // Bytes appended after the records as they are (a record kind that ends the records, say).
    void addRaw(std::vector<std::uint8_t> bytes);

    std::vector<std::uint8_t> bytes() const;

private:
    std::string m_password;
    std::vector<std::vector<std::uint8_t>> m_records;  // each folder, card or raw piece, in order
};

}  // namespace tw::test
