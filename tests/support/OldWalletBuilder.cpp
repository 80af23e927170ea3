#include "support/OldWalletBuilder.h"

#include <algorithm>
#include <cstring>

#include "storage/Bytes.h"
#include "storage/HeaderBlock.h"
#include "storage/KeyBlock.h"
#include "storage/Md5.h"
#include "storage/Rc4.h"
#include "storage/SettingsBlock.h"

namespace tw::test {

// ---- Old-format ".tm5" ---------------------------------------------------------------------

Key16 OldTm5Builder::defaultStoredKey() {
    Key16 key;
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(0xA0 + 7 * i);
    return key;
}

OldTm5Builder::OldTm5Builder(std::optional<std::u16string> password, const SystemTime& created, const Key16& storedKey)
    : m_password(std::move(password)), m_created(created) {
    m_storedKey.set(storedKey.data());
}

RecordId OldTm5Builder::nextId() {
    RecordId id;
    id.bytes[0] = static_cast<std::uint8_t>(m_nextId);
    id.bytes[1] = static_cast<std::uint8_t>(m_nextId >> 8);
    id.bytes[2] = static_cast<std::uint8_t>(m_nextId >> 16);
    ++m_nextId;
    id.bytes[4] = 3;
    id.bytes[15] = 0x5E;
    return id;
}

RecordHeader OldTm5Builder::header(RecordType type, std::u16string_view name, const RecordId& parent) {
    RecordHeader h = RecordHeader::create(type, nextId(), parent, m_created);
    h.putName(name, m_storedKey);
    return h;
}

void OldTm5Builder::append(RecordHeader& h, const std::vector<std::uint8_t>& body) {
    h.setBodyLength(static_cast<std::uint32_t>(body.size()));
    const std::vector<std::uint8_t> bytes = recordBytes(h, m_created);
    m_records.insert(m_records.end(), bytes.begin(), bytes.end());
    m_records.insert(m_records.end(), body.begin(), body.end());
}

RecordId OldTm5Builder::addFolder(std::u16string_view name, const RecordId& parent, RecordType type,
                                  std::int32_t icon) {
    RecordHeader h = header(type, name, type == RecordType::FormsFolder ? RecordId{} : parent);
    h.setIconIndex(icon);
    append(h, {});
    return h.id();
}

RecordId OldTm5Builder::addCard(std::u16string_view name, const RecordId& parent, const Card& card) {
    std::vector<std::uint8_t> body;
    card.serializeBody(m_storedKey, &body);
    return addCardBody(name, parent, body);
}

RecordId OldTm5Builder::addCardBody(std::u16string_view name, const RecordId& parent,
                                    const std::vector<std::uint8_t>& body) {
    RecordHeader h = header(RecordType::Card, name, parent);
    append(h, body);
    return h.id();
}

void OldTm5Builder::addDeletionMarker(std::u16string_view name) {
    RecordHeader h = header(RecordType::Card, name, {});
    h.markDeleted(m_created);
    append(h, {});
}

std::vector<std::uint8_t> OldTm5Builder::bytes() const {
    HeaderBlock header = HeaderBlock::create();
    std::memset(header.raw.data() + HeaderBlock::kVersionAt, 0, HeaderBlock::kVersionSize);
    std::memcpy(header.raw.data() + HeaderBlock::kVersionAt, "(5.00) ", 7);

    KeyBlock keys;
    const std::optional<std::u16string_view> password =
        m_password ? std::optional<std::u16string_view>(*m_password) : std::nullopt;
    keys.create(m_created, password, std::nullopt, {u"Favourites", u"Find Results", u"Recent"});
    // The previous format: the check value is the record key itself, and the key of the records
    // is kept enciphered under the file key.
    if (passwordTakesPart(password)) {
        const Key16 recordKey = makeRecordKey(password, keys.fileKey);
        std::memcpy(keys.raw.data() + KeyBlock::kCheckValue, recordKey.data(), 16);
    }
    keys.fileKey.encipher(m_storedKey.key(), 16, keys.raw.data() + KeyBlock::kFiller56);

    const SettingsBlock settings = SettingsBlock::create();
    std::vector<std::uint8_t> out(header.raw.size() + keys.raw.size() + settings.raw.size() + m_records.size());
    auto at = std::copy(header.raw.begin(), header.raw.end(), out.begin());
    at = std::copy(keys.raw.begin(), keys.raw.end(), at);
    at = std::copy(settings.raw.begin(), settings.raw.end(), at);
    std::copy(m_records.begin(), m_records.end(), at);
    return out;
}

// ---- Older ".wal" ----------------------------------------------------------------------------

namespace {

constexpr std::size_t kHeaderSize = 844;
constexpr std::size_t kRecordSize = 252;
constexpr char kSignature[] = "Halvorsgarden\xAE Tallowmere\xAE File\r\nhttp://www.halvorsgarden.com/\r\n";
constexpr std::uint8_t kOrder[16] = {12, 9, 11, 3, 7, 2, 10, 1, 5, 14, 4, 15, 13, 8, 0, 6};

void putName(std::uint8_t* at, std::size_t bytes, std::u16string_view name) {
    putText16(at, bytes, name);
}

struct WalKey {
    Digest digest;
    Key16 key;
};

WalKey walKey(const std::array<std::uint8_t, 8>& salt, const std::string& password) {
    std::vector<std::uint8_t> input(salt.begin(), salt.end());
    input.insert(input.end(), password.begin(), password.end());
    input.push_back(0);
    WalKey k;
    k.digest = md5(input.data(), input.size());
    for (std::size_t i = 0; i < 16; ++i) k.key[i] = k.digest[kOrder[i]];
    return k;
}

}  // namespace

std::vector<std::uint8_t> walText(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> walU32(std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    putU32(bytes.data(), 0, value);
    return bytes;
}

WalBuilder::WalBuilder(std::string passwordBytes) : m_password(std::move(passwordBytes)) {}

void WalBuilder::addFolder(std::uint32_t id, std::uint32_t defaultForm, std::uint32_t icon, std::u16string_view name) {
    std::vector<std::uint8_t> r(kRecordSize, 0);
    putU32(r.data(), 0, 0x404F4F40);
    putU32(r.data(), 4, id);
    putU32(r.data(), 28, defaultForm);
    putU32(r.data(), 32, icon);
    putName(r.data() + 36, 216, name);
    m_records.push_back(std::move(r));
}

void WalBuilder::addCard(const WalCard& card) {
    std::vector<std::uint8_t> data;
    for (const WalItem& item : card.items) {
        const std::size_t at = data.size();
        data.resize(at + 8);
        putU32(data.data(), at, item.tag);
        putU32(data.data(), at + 4, static_cast<std::uint32_t>(item.bytes.size()));
        data.insert(data.end(), item.bytes.begin(), item.bytes.end());
    }
    if (card.enciphered) {
        const WalKey k = walKey(salt, m_password);
        Rc4State state;
        rc4Schedule(state, k.key.data());
        rc4Process(state, data.data(), data.data(), data.size());
    }
    std::vector<std::uint8_t> r(kRecordSize, 0);
    putU32(r.data(), 0, 0x26F4F426);
    putU32(r.data(), 4, card.id);
    putU32(r.data(), 24, card.enciphered ? 1 : 0);
    putU32(r.data(), 28, card.folder);
    putU32(r.data(), 32, card.form);
    putU32(r.data(), 36, card.icon);
    putU32(r.data(), 48, card.colour);
    putU32(r.data(), 52, card.background);
    putU32(r.data(), 68, static_cast<std::uint32_t>(data.size()));
    putU16(r.data(), 72, card.picture);
    r[74] = card.bold;
    r[75] = card.sound;
    putName(r.data() + 76, 176, card.name);
    r.insert(r.end(), data.begin(), data.end());
    m_records.push_back(std::move(r));
}

void WalBuilder::addRaw(std::vector<std::uint8_t> bytes) {
    m_records.push_back(std::move(bytes));
}

std::vector<std::uint8_t> WalBuilder::bytes() const {
    std::vector<std::uint8_t> out(kHeaderSize, 0);
    std::memcpy(out.data(), kSignature, sizeof kSignature - 1);
    putU32(out.data(), 76, 0xB8161967);
    putName(out.data() + 124, 524, customForms);
    for (std::size_t i = 0; i < words.size(); ++i) putU32(out.data(), 648 + 4 * i, words[i]);
    std::memcpy(out.data() + 752, salt.data(), salt.size());
    const WalKey k = walKey(salt, m_password);
    Rc4State state;
    rc4Schedule(state, k.key.data());
    rc4Process(state, out.data() + 816, k.digest.data(), 16);
    putU32(out.data(), 840, 0xB1281966);
    for (const auto& r : m_records) out.insert(out.end(), r.begin(), r.end());
    return out;
}

}  // namespace tw::test
