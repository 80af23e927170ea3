#include "model/Field.h"

#include <algorithm>
#include <limits>

#include "model/BodyCodec.h"
#include "platform/StringTable.h"
#include "storage/Bytes.h"

namespace tw {
namespace {

std::u16string_view upToZero(std::u16string_view text) {
    return text.substr(0, text.find(u'\0'));
}

constexpr std::size_t kMaxPayload = std::numeric_limits<std::uint32_t>::max();

}  // namespace

void Field::setKind(std::uint16_t kind, const StringTable& strings) {
    if (kind == m_kind) return;
    const std::uint16_t old = m_kind;
    m_kind = kind;
    m_marks |= kMarkKind;
    if (isDateKind(kind) && !isDateKind(old)) {
        m_date = SystemTime{};
        body::wipeText(m_value);
        m_marks |= kMarkValueSet;
    }
    if (kind == kYesNoKind) {
        clearList();
        addListItem(strings.text(kYesWordId));
        addListItem(strings.text(kNoWordId));
    }
}

void Field::setName(std::u16string_view name) {
    name = upToZero(name);
    if (name == m_name) return;
    body::wipeText(m_name);
    m_name = name;
    m_marks |= kMarkName;
}

void Field::setValue(std::u16string_view value) {
    value = upToZero(value);
    if (value.empty()) {
        if (m_value.empty() && m_date.isZero()) return;
        body::wipeText(m_value);
        m_date = SystemTime{};
        m_marks |= kMarkValueSet;
        return;
    }
    if (value == m_value) return;
    body::wipeText(m_value);
    m_value = value;
    m_marks |= kMarkValue;
}

bool Field::setDate(const SystemTime& date) {
    if (!isDateKind(m_kind)) return false;
    m_date = date.isZero() ? SystemTime{} : date;
    body::wipeText(m_value);
    m_marks |= kMarkValueSet;
    return true;
}

bool Field::addListItem(std::u16string_view item) {
    item = upToZero(item);
    // The limit holds for every kind, not only the list kinds: a field keeps its items through
    // a change of kind, and the list never grows past what the card editor can show.
    if (item.empty() || m_list.size() >= kMaxListItems) return false;
    std::u16string stored(item);
    std::replace(stored.begin(), stored.end(), kListSeparator, u' ');
    m_list.push_back(std::move(stored));
    m_marks |= kMarkListItem;
    return true;
}

void Field::setListFromJoined(std::u16string_view joined) {
    std::u16string copy(joined);  // `joined` may be one of the items cleared below
    const std::u16string_view text = copy;
    clearList();
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(kListSeparator, start);
        if (end == std::u16string_view::npos) end = text.size();
        addListItem(text.substr(start, end - start));
        start = end + 1;
    }
    body::wipeText(copy);
}

void Field::clearList() {
    for (auto& item : m_list) body::wipeText(item);
    m_list.clear();
}

const std::u16string* Field::listItem(std::size_t index) const {
    if (!isListKind(m_kind) || index >= m_list.size()) return nullptr;
    return &m_list[index];
}

std::u16string Field::joinedList() const {
    std::u16string joined;
    for (const auto& item : m_list) {
        if (item.empty()) continue;
        if (!joined.empty()) joined.push_back(kListSeparator);
        joined += item;
    }
    return joined;
}

std::size_t Field::payloadSize() const {
    std::size_t size =
        kDescriptorSize + body::paddedTextSize(m_name.size() * 2) + body::paddedTextSize(m_value.size() * 2);
    if (isListKind(m_kind)) {
        std::size_t listBytes = 0;
        for (const auto& item : m_list) listBytes += item.empty() ? 0 : item.size() * 2 + 2;
        if (listBytes != 0) size += body::paddedTextSize(listBytes - 2);
    }
    return size;
}

bool Field::writePayload(const KeyRecord& key, std::vector<std::uint8_t>& out) const {
    if (!key.active() || payloadSize() > kMaxPayload) return false;
    std::u16string list = isListKind(m_kind) ? joinedList() : std::u16string();
    const auto nameStored = static_cast<std::uint32_t>(body::paddedTextSize(m_name.size() * 2));
    const auto valueStored = static_cast<std::uint32_t>(body::paddedTextSize(m_value.size() * 2));
    const auto listStored = static_cast<std::uint32_t>(body::paddedTextSize(list.size() * 2));

    std::array<std::uint8_t, kDescriptorSize> descriptor = m_descriptor;
    std::uint8_t* d = descriptor.data();
    putU16(d, kKind, m_kind);
    putU16(d, kStyle, m_style);
    putI32(d, kNameColour, m_nameColour);
    putI32(d, kValueColour, m_valueColour);
    putU32(d, kNameStored, nameStored);
    putU32(d, kNamePadding, nameStored - static_cast<std::uint32_t>(m_name.size() * 2));
    putSystemTime(d, kDate, m_date);
    putU32(d, kValueStored, valueStored);
    putU32(d, kValuePadding, valueStored - static_cast<std::uint32_t>(m_value.size() * 2));
    putU32(d, kListStored, listStored);
    putU32(d, kListPadding, listStored - static_cast<std::uint32_t>(list.size() * 2));
    putU32(d, kPayloadAfter, nameStored + valueStored + listStored);

    const std::size_t start = out.size();
    out.insert(out.end(), descriptor.begin(), descriptor.end());
    const bool ok =
        body::appendText(out, m_name, key) && body::appendText(out, m_value, key) && body::appendText(out, list, key);
    body::wipeText(list);
    if (!ok) out.resize(start);
    return ok;
}

bool Field::readPayload(const std::uint8_t* payload, std::size_t size, const KeyRecord& key) {
    if (size < kDescriptorSize || !key.active()) return false;
    const std::uint8_t* d = payload;
    body::PayloadReader reader(payload + kDescriptorSize, size - kDescriptorSize);
    Field read;
    std::copy(d, d + kDescriptorSize, read.m_descriptor.begin());
    read.m_kind = getU16(d, kKind);
    read.m_style = getU16(d, kStyle);
    read.m_nameColour = getI32(d, kNameColour);
    read.m_valueColour = getI32(d, kValueColour);
    read.m_date = getSystemTime(d, kDate);
    std::u16string list;
    const bool ok = reader.takeText(getU32(d, kNameStored), getU32(d, kNamePadding), key, &read.m_name) &&
                    reader.takeText(getU32(d, kValueStored), getU32(d, kValuePadding), key, &read.m_value) &&
                    reader.takeText(getU32(d, kListStored), getU32(d, kListPadding), key, &list);
    if (!ok) return false;
    read.setListFromJoined(list);
    body::wipeText(list);
    read.m_marks = 0;
    release();
    *this = std::move(read);
    return true;
}

void Field::release() {
    body::wipeText(m_name);
    body::wipeText(m_value);
    clearList();
}

}  // namespace tw
