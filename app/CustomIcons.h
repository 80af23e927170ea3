#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "storage/Md5.h"
#include "storage/RecordHeader.h"
#include "storage/WalletIndex.h"

namespace tw {
class WalletFile;
}

namespace tw::app {

// The open wallet's custom icons: every custom icon met while the wallet's records are read or
// written, once each, keyed by the MD5 stored with it. They are numbered in the order they were
// met from kFirstNumber on, after the built-in icons, as the icon picker offers them.
//
// The list belongs to the one open wallet: watch() it after the wallet object is made and before
// its records are read, and clear() it when the wallet is closed.
class CustomIcons {
public:
    static constexpr int kFirstNumber = RecordHeader::kIconCount;  // 144

    // Registers the custom icon of every record the wallet reads or writes from now on. The
    // list must outlive the wallet, or be unwatched with unwatch() first.
    void watch(WalletFile& wallet);
    static void unwatch(WalletFile& wallet);

    // Registers a header's custom icon (index -1 with icon data); another one with the same MD5
    // is not added again. Returns its number, or none for a header without a custom icon.
    std::optional<int> add(const RecordHeader& header);
    // The number of the icon with this MD5, or none.
    std::optional<int> numberOf(const Digest& md5) const;
    // The icon file's bytes of number n (kFirstNumber and above), or null.
    const std::vector<std::uint8_t>* data(int number) const;
    std::size_t count() const { return m_icons.size(); }
    void clear() { m_icons.clear(); }

private:
    struct Icon {
        Digest md5;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Icon> m_icons;
};

// Entries of the image lists that show card and folder icons: the four overlays, the 144 built-in
// icons, then the open wallet's custom icons in the order of their numbers.
constexpr int kFirstBuiltinEntry = 4;
constexpr int kFirstCustomEntry = kFirstBuiltinEntry + RecordHeader::kIconCount;  // 148
// Not an entry: draws the neutral placeholder.
constexpr int kPlaceholderEntry = -1;

// The image-list entry of a record's icon: a built-in icon n is entry n + 4; a custom icon (-1)
// the entry of the wallet's custom icon with the record's MD5, or the placeholder when the list
// has none. Numbers of 144 and above show the placeholder until they are mended (IconMend.h);
// mending is never done here, so this may be asked while drawing.
int iconListEntry(const RecordHeader& header, const CustomIcons& icons);
int iconListEntry(const IndexEntry& entry, const CustomIcons& icons);

// An icon chosen for a card or folder.
struct IconChoice {
    enum class Kind {
        Builtin,  // `number` 0-143
        Wallet,   // one of the wallet's custom icons, `number` 144 and above, `iconFile` its bytes
        Picture,  // a picture file made into an icon file (`number` -1, `iconFile` the bytes)
    };
    Kind kind = Kind::Builtin;
    int number = 0;
    std::vector<std::uint8_t> iconFile;

    // The icon of a record as it is now: its built-in number, or its custom icon (Wallet, with
    // the number the list gives it, or -1 when the list lacks it).
    static IconChoice of(const RecordHeader& header, const CustomIcons& icons);
    // Stores the choice in a record: a built-in number, or the icon file's bytes as its custom icon.
    void applyTo(RecordHeader& header) const;
    // Whether a record would show the same icon after applyTo: same built-in number, or same bytes.
    bool sameIcon(const IconChoice& other) const;
};

// The MD5 stored in a record header (of its custom icon data without padding).
Digest storedIconMd5(const RecordHeader& header);

}  // namespace tw::app
