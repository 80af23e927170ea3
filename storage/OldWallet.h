#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "storage/KeyRecord.h"
#include "storage/Keys.h"

namespace tw {

// Result of opening an older ".wal" wallet. The values are fixed: the conversion maps them.
enum class OldOpenResult : int {
    Ok = 0,
    CannotOpen = 3,    // the file cannot be opened
    ReadFailed = 5,    // the header could not be read although the file is long enough
    NotOldWallet = 7,  // shorter than the header, signature or either magic wrong
    WrongPassword = 9,
};

// A folder record of an older wallet.
struct OldFolder {
    std::uint32_t id = 0;
    std::uint32_t defaultForm = 0;
    std::uint32_t icon = 0;
    std::u16string name;
};

// A card record of an older wallet; its data follows it in the file.
struct OldCard {
    std::uint64_t dataAt = 0;  // file offset of the data
    bool dataFits = true;      // false: the file ends before the data does
    std::uint32_t id = 0;
    bool enciphered = false;  // the word at 24 is 1
    std::uint32_t folder = 0;
    std::uint32_t form = 0;
    std::uint32_t icon = 0;
    std::uint32_t colour = 0;  // names and values, 0x00BBGGRR
    std::uint32_t background = 0;
    std::uint32_t dataLength = 0;
    std::uint16_t picture = 0;  // non-zero: the card has a picture
    std::uint8_t bold = 0;      // 0x02 names in bold, 0x01 values in bold
    std::uint8_t sound = 0;     // 0x01: the card has a sound
    std::u16string name;
};

// An older wallet file (".wal"), read only. Layout of what is read (little-endian):
//   header (844 bytes):   0 signature (only the first 40 bytes are compared)   76 u32 magic 0xB8161967
//                       124 custom forms file name (262 UTF-16 units)          648 fourteen u32
//                       752 salt (8)     816 check block (16)     840 u32 magic 0xB1281966
//   records from 844, 252 bytes each, told apart by their first u32:
//     folder 0x404F4F40:  4 id, 28 default form number, 32 icon, 36 name (108 units)
//     card   0x26F4F426:  4 id, 24 u32 1 = data enciphered, 28 folder id, 32 form number, 36 icon,
//                        48 colour, 52 background, 68 data length, 72 u16 picture, 74 bold bits,
//                        75 sound bit, 76 name (88 units); the data follows the record
//   any other first word ends the records.
// Card data is a run of items {u32 tag, u32 length, bytes}, enciphered as one RC4 stream under
// the key made from the password and the salt.
class OldWallet {
public:
    static constexpr std::size_t kHeaderSize = 844;
    static constexpr std::size_t kRecordSize = 252;
    static constexpr std::size_t kSignatureCompared = 40;
    static constexpr std::size_t kMaxPasswordBytes = 64;  // the 8-bit password with its NUL

    explicit OldWallet(FileSystem& files) : m_files(files) {}
    ~OldWallet() { close(); }
    OldWallet(const OldWallet&) = delete;
    OldWallet& operator=(const OldWallet&) = delete;

    // Opens the file for reading only (the conversion never changes it) and checks the header
    // and the password; the file stays open for the reads below. The password is taken in the
    // 8-bit code page of older wallets, Windows-1252.
    OldOpenResult open(const std::string& path, std::u16string_view password);
    void close();
    bool isOpen() const { return m_file != nullptr; }

    // The custom forms file the wallet's cards need; empty when none.
    const std::u16string& customFormsFile() const { return m_customForms; }
    const std::array<std::uint32_t, 14>& headerWords() const { return m_words; }

    // Walks the records. False when a read fails. Never reads past the end of the file: a card
    // whose data the file does not hold whole is the last record and has `dataFits` false.
    bool count(std::size_t* folders, std::size_t* cards);
    bool readFolders(std::vector<OldFolder>* folders);
    // The cards of one folder, in file order.
    bool cardsOf(std::uint32_t folder, std::vector<OldCard>* cards);
    // Every card of every folder, in file order.
    bool readCards(std::vector<OldCard>* cards) { return walk(nullptr, cards); }
    // The folders and the cards, each in file order, in one walk.
    bool readRecords(std::vector<OldFolder>* folders, std::vector<OldCard>* cards);
    // The card's data, deciphered when the record says so; empty for a card without data. False
    // when it cannot be read.
    bool readCardData(const OldCard& card, std::vector<std::uint8_t>* data);

private:
    bool walk(std::vector<OldFolder>* folders, std::vector<OldCard>* cards);

    FileSystem& m_files;
    std::unique_ptr<File> m_file;
    std::uint64_t m_size = 0;
    Key16 m_key{};
    KeyRecord m_cipher;  // the key with its keystream, made once for every card's data
    std::u16string m_customForms;
    std::array<std::uint32_t, 14> m_words{};
};

// The key of an older wallet: MD5 of the salt and the 8-bit password with its NUL, reordered.
// `digest` (optional) receives the MD5 itself, which the check block holds enciphered.
Key16 oldWalletKey(const std::uint8_t salt[8], std::string_view passwordBytes, Key16* digest = nullptr);

// The first item of card data with that tag; none when there is none or its length is 0. Items
// that run past the data end the search.
std::optional<std::span<const std::uint8_t>> findOldItem(std::span<const std::uint8_t> data, std::uint32_t tag);
// The items of one card's data, walked once: find() gives what findOldItem gives for the same
// tag without walking the data again. The spans point into the data, which must outlive them.
class OldItems {
public:
    // Forgets the items of the last card and takes those of `data`.
    void index(std::span<const std::uint8_t> data);
    std::optional<std::span<const std::uint8_t>> find(std::uint32_t tag) const;

private:
    struct Item {
        std::uint32_t tag;
        std::span<const std::uint8_t> bytes;
    };
    std::vector<Item> m_items;  // in data order, up to the first that runs past the data
};
// An item as text: UTF-16LE up to its first NUL or its end.
std::u16string oldItemText(std::span<const std::uint8_t> item);

}  // namespace tw
