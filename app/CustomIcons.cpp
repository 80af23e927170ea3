#include "app/CustomIcons.h"

#include <algorithm>
#include <cstring>

#include "storage/WalletFile.h"

namespace tw::app {

Digest storedIconMd5(const RecordHeader& header) {
    Digest md5{};
    std::memcpy(md5.data(), header.raw.data() + RecordHeader::kIconMd5, md5.size());
    return md5;
}

namespace {

int listEntry(std::int32_t index, const Digest& md5, const CustomIcons& icons) {
    if (index >= 0 && index < RecordHeader::kIconCount) return kFirstBuiltinEntry + index;
    if (index != RecordHeader::kCustomIcon) return kPlaceholderEntry;
    const std::optional<int> number = icons.numberOf(md5);
    return number ? kFirstCustomEntry + (*number - CustomIcons::kFirstNumber) : kPlaceholderEntry;
}

}  // namespace

int iconListEntry(const RecordHeader& header, const CustomIcons& icons) {
    return listEntry(header.iconIndex(), storedIconMd5(header), icons);
}

int iconListEntry(const IndexEntry& entry, const CustomIcons& icons) {
    return listEntry(entry.iconIndex(), entry.iconMd5(), icons);
}

IconChoice IconChoice::of(const RecordHeader& header, const CustomIcons& icons) {
    IconChoice choice;
    const std::int32_t index = header.iconIndex();
    if (index == RecordHeader::kCustomIcon && !header.iconData.empty()) {
        choice.kind = Kind::Wallet;
        choice.number = icons.numberOf(storedIconMd5(header)).value_or(-1);
        choice.iconFile = header.customIcon();
    } else {
        choice.number = index >= 0 && index < RecordHeader::kIconCount ? index : 0;
    }
    return choice;
}

void IconChoice::applyTo(RecordHeader& header) const {
    if (kind == Kind::Builtin)
        header.setIconIndex(number);
    else
        header.setCustomIcon(iconFile);
}

bool IconChoice::sameIcon(const IconChoice& other) const {
    const bool builtin = kind == Kind::Builtin, otherBuiltin = other.kind == Kind::Builtin;
    if (builtin != otherBuiltin) return false;
    return builtin ? number == other.number : iconFile == other.iconFile;
}

void CustomIcons::watch(WalletFile& wallet) {
    wallet.setCustomIconObserver([this](const RecordHeader& header) { add(header); });
}

void CustomIcons::unwatch(WalletFile& wallet) {
    wallet.setCustomIconObserver({});
}

std::optional<int> CustomIcons::add(const RecordHeader& header) {
    if (header.iconIndex() != RecordHeader::kCustomIcon || header.iconData.empty()) return std::nullopt;
    const Digest md5 = storedIconMd5(header);
    if (const std::optional<int> known = numberOf(md5)) return known;
    std::vector<std::uint8_t> bytes = header.customIcon();
    if (bytes.empty()) return std::nullopt;
    m_icons.push_back({md5, std::move(bytes)});
    return kFirstNumber + static_cast<int>(m_icons.size() - 1);
}

std::optional<int> CustomIcons::numberOf(const Digest& md5) const {
    const auto it = std::find_if(m_icons.begin(), m_icons.end(), [&](const Icon& icon) { return icon.md5 == md5; });
    if (it == m_icons.end()) return std::nullopt;
    return kFirstNumber + static_cast<int>(it - m_icons.begin());
}

const std::vector<std::uint8_t>* CustomIcons::data(int number) const {
    const long i = static_cast<long>(number) - kFirstNumber;
    if (i < 0 || i >= static_cast<long>(m_icons.size())) return nullptr;
    return &m_icons[static_cast<std::size_t>(i)].bytes;
}

}  // namespace tw::app
