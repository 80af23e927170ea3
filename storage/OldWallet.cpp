#include "storage/OldWallet.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"
#include "storage/BufferedFile.h"
#include "storage/Bytes.h"
#include "storage/Md5.h"
#include "storage/Rc4.h"

namespace tw {
namespace {

constexpr char kSignature[OldWallet::kSignatureCompared + 1] = "Halvorsgarden\xAE Tallowmere\xAE File\r\nhttp://";
static_assert(sizeof kSignature - 1 == OldWallet::kSignatureCompared);

constexpr std::size_t kStartMagicAt = 76;
constexpr std::uint32_t kStartMagic = 0xB8161967;
constexpr std::size_t kCustomFormsAt = 124;
constexpr std::size_t kCustomFormsSize = 524;
constexpr std::size_t kWordsAt = 648;
constexpr std::size_t kSaltAt = 752;
constexpr std::size_t kCheckAt = 816;
constexpr std::size_t kEndMagicAt = 840;
constexpr std::uint32_t kEndMagic = 0xB1281966;
static_assert(kEndMagicAt + 4 == OldWallet::kHeaderSize);
static_assert(kWordsAt + 14 * 4 == 704);

// The walk over the records reads the file in blocks of this size.
constexpr std::size_t kWalkChunk = 1024 * 1024;

constexpr std::uint32_t kFolderRecord = 0x404F4F40;
constexpr std::uint32_t kCardRecord = 0x26F4F426;

// Folder record offsets.
constexpr std::size_t kFolderId = 4;
constexpr std::size_t kFolderForm = 28;
constexpr std::size_t kFolderIcon = 32;
constexpr std::size_t kFolderName = 36;
constexpr std::size_t kFolderNameSize = 216;
// Card record offsets.
constexpr std::size_t kCardId = 4;
constexpr std::size_t kCardEnciphered = 24;
constexpr std::size_t kCardFolder = 28;
constexpr std::size_t kCardForm = 32;
constexpr std::size_t kCardIcon = 36;
constexpr std::size_t kCardColour = 48;
constexpr std::size_t kCardBackground = 52;
constexpr std::size_t kCardDataLength = 68;
constexpr std::size_t kCardPicture = 72;
constexpr std::size_t kCardBold = 74;
constexpr std::size_t kCardSound = 75;
constexpr std::size_t kCardName = 76;
constexpr std::size_t kCardNameSize = 176;
static_assert(kFolderName + kFolderNameSize == OldWallet::kRecordSize);
static_assert(kCardName + kCardNameSize == OldWallet::kRecordSize);

// The order in which the digest's bytes make the key.
constexpr std::uint8_t kKeyOrder[16] = {12, 9, 11, 3, 7, 2, 10, 1, 5, 14, 4, 15, 13, 8, 0, 6};

}  // namespace

Key16 oldWalletKey(const std::uint8_t salt[8], std::string_view passwordBytes, Key16* digest) {
    const std::size_t n = std::min(passwordBytes.size(), OldWallet::kMaxPasswordBytes - 1);
    std::uint8_t password[OldWallet::kMaxPasswordBytes] = {};
    std::memcpy(password, passwordBytes.data(), n);
    // The password's bytes end at its first NUL, which takes part.
    const std::size_t used = strnlen(reinterpret_cast<const char*>(password), n) + 1;
    Md5 md5;
    md5.update(salt, 8);
    md5.update(password, used);
    Digest d = md5.finish();
    Key16 key;
    for (std::size_t i = 0; i < 16; ++i) key[i] = d[kKeyOrder[i]];
    if (digest != nullptr) std::memcpy(digest->data(), d.data(), 16);
    wipe(password, sizeof password);
    wipe(d.data(), d.size());
    return key;
}

OldOpenResult OldWallet::open(const std::string& path, std::u16string_view password) {
    close();
    m_file = m_files.open(path, OpenMode::Read);
    if (!m_file) return OldOpenResult::CannotOpen;
    std::uint8_t header[kHeaderSize];
    auto fail = [&](OldOpenResult r) {
        close();
        wipe(header, sizeof header);
        return r;
    };
    if (!m_file->size(&m_size) || m_size < kHeaderSize) return fail(OldOpenResult::NotOldWallet);
    if (!m_file->seekTo(0) || readBlock(m_file.get(), header, kHeaderSize) != FileResult::Done)
        return fail(OldOpenResult::ReadFailed);
    if (std::memcmp(header, kSignature, kSignatureCompared) != 0 || getU32(header, kStartMagicAt) != kStartMagic ||
        getU32(header, kEndMagicAt) != kEndMagic)
        return fail(OldOpenResult::NotOldWallet);

    std::string bytes = toWindows1252(password);
    Key16 digest{};
    m_key = oldWalletKey(header + kSaltAt, bytes, &digest);
    wipe(bytes.data(), bytes.size());
    Rc4State state;
    rc4Schedule(state, m_key.data());
    std::uint8_t check[16];
    rc4Process(state, check, header + kCheckAt, sizeof check);
    const bool right = std::memcmp(check, digest.data(), sizeof check) == 0;
    wipe(&state, sizeof state);
    wipe(check, sizeof check);
    wipe(digest.data(), digest.size());
    if (!right) return fail(OldOpenResult::WrongPassword);
    m_cipher.set(m_key.data());

    m_customForms = getText16(header + kCustomFormsAt, kCustomFormsSize);
    for (std::size_t i = 0; i < m_words.size(); ++i) m_words[i] = getU32(header, kWordsAt + 4 * i);
    wipe(header, sizeof header);
    return OldOpenResult::Ok;
}

void OldWallet::close() {
    m_file.reset();
    m_size = 0;
    wipe(m_key.data(), m_key.size());
    m_cipher.clear();
    m_customForms.clear();
    m_words = {};
}

bool OldWallet::walk(std::vector<OldFolder>* folders, std::vector<OldCard>* cards) {
    if (!m_file) return false;
    // The records are read through a large buffer; data it does not hold is passed over by a
    // seek. Cards may keep their data in clear, so the buffer is wiped.
    BufferedReader in(*m_file, kWalkChunk, Wipe::Yes);
    std::uint8_t record[kRecordSize];
    std::uint64_t at = kHeaderSize;
    while (at <= m_size && m_size - at >= kRecordSize) {
        if (!in.seekTo(at) || readBlock(&in, record, kRecordSize) != FileResult::Done) return false;
        const std::uint32_t kind = getU32(record, 0);
        if (kind == kFolderRecord) {
            if (folders != nullptr) {
                folders->push_back(OldFolder{getU32(record, kFolderId), getU32(record, kFolderForm),
                                             getU32(record, kFolderIcon),
                                             getText16(record + kFolderName, kFolderNameSize)});
            }
            at += kRecordSize;
        } else if (kind == kCardRecord) {
            OldCard card;
            card.dataAt = at + kRecordSize;
            card.id = getU32(record, kCardId);
            card.enciphered = getU32(record, kCardEnciphered) == 1;
            card.folder = getU32(record, kCardFolder);
            card.form = getU32(record, kCardForm);
            card.icon = getU32(record, kCardIcon);
            card.colour = getU32(record, kCardColour);
            card.background = getU32(record, kCardBackground);
            card.dataLength = getU32(record, kCardDataLength);
            card.picture = getU16(record, kCardPicture);
            card.bold = record[kCardBold];
            card.sound = record[kCardSound];
            card.name = getText16(record + kCardName, kCardNameSize);
            card.dataFits = card.dataLength <= m_size - card.dataAt;
            const bool fits = card.dataFits;
            if (cards != nullptr) cards->push_back(std::move(card));
            // Nothing can follow data that runs past the end of the file.
            if (!fits) break;
            at += kRecordSize + getU32(record, kCardDataLength);
        } else {
            break;
        }
    }
    return true;
}

bool OldWallet::readRecords(std::vector<OldFolder>* folders, std::vector<OldCard>* cards) {
    folders->clear();
    cards->clear();
    return walk(folders, cards);
}

bool OldWallet::count(std::size_t* folders, std::size_t* cards) {
    std::vector<OldFolder> f;
    std::vector<OldCard> c;
    if (!walk(&f, &c)) return false;
    if (folders != nullptr) *folders = f.size();
    if (cards != nullptr) *cards = c.size();
    return true;
}

bool OldWallet::readFolders(std::vector<OldFolder>* folders) {
    folders->clear();
    return walk(folders, nullptr);
}

bool OldWallet::cardsOf(std::uint32_t folder, std::vector<OldCard>* cards) {
    std::vector<OldCard> all;
    cards->clear();
    if (!walk(nullptr, &all)) return false;
    for (OldCard& card : all)
        if (card.folder == folder) cards->push_back(std::move(card));
    return true;
}

bool OldWallet::readCardData(const OldCard& card, std::vector<std::uint8_t>* data) {
    data->clear();
    if (!m_file || !card.dataFits || card.dataAt > m_size || card.dataLength > m_size - card.dataAt) return false;
    // No data is a card of its form with nothing filled in, not a failed read.
    if (card.dataLength == 0) return true;
    data->assign(card.dataLength, 0);
    if (!m_file->seekTo(card.dataAt) || readBlock(m_file.get(), data->data(), data->size()) != FileResult::Done) {
        wipe(data->data(), data->size());
        data->clear();
        return false;
    }
    // Each card's data is one stream started afresh under the key.
    if (card.enciphered) m_cipher.encipher(data->data(), data->size(), data->data());
    return true;
}

std::optional<std::span<const std::uint8_t>> findOldItem(std::span<const std::uint8_t> data, std::uint32_t tag) {
    std::size_t at = 0;
    while (data.size() - at >= 8) {
        const std::uint32_t itemTag = getU32(data.data(), at);
        const std::uint32_t length = getU32(data.data(), at + 4);
        at += 8;
        if (length > data.size() - at) return std::nullopt;
        if (itemTag == tag) {
            if (length == 0) return std::nullopt;
            return data.subspan(at, length);
        }
        at += length;
    }
    return std::nullopt;
}

void OldItems::index(std::span<const std::uint8_t> data) {
    m_items.clear();
    std::size_t at = 0;
    while (data.size() - at >= 8) {
        const std::uint32_t tag = getU32(data.data(), at);
        const std::uint32_t length = getU32(data.data(), at + 4);
        at += 8;
        if (length > data.size() - at) return;
        m_items.push_back(Item{tag, data.subspan(at, length)});
        at += length;
    }
}

std::optional<std::span<const std::uint8_t>> OldItems::find(std::uint32_t tag) const {
    for (const Item& item : m_items) {
        if (item.tag != tag) continue;
        if (item.bytes.empty()) return std::nullopt;
        return item.bytes;
    }
    return std::nullopt;
}

std::u16string oldItemText(std::span<const std::uint8_t> item) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < item.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(item[i] | (item[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

}  // namespace tw
