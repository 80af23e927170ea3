#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {
class WalletFile;
}

namespace tw::app {

// Icon numbers of 144 and above are not valid in a wallet; other programs have written them. A
// record found with one is mended once the folder tree has been built: a record that holds custom
// icon data shows that icon (index -1), any other gets the first built-in icon, and the record is
// saved again, which marks its icon as changed (change bit 0x10).

enum class IconMend {
    Keep,       // a built-in icon (0-143) or a custom icon (-1): nothing to mend
    UseCustom,  // 144 and above with custom icon data: index -1
    Clear,      // 144 and above (or below -1) without custom icon data: built-in icon 0
};

// What to do with a record's icon number; `hasCustomData` when the record holds icon data.
IconMend iconMendFor(std::int32_t iconIndex, bool hasCustomData);

// When the mend may run: once, after the folder tree of a wallet that was read without a
// failure has been built, and only when the wallet may be written. Never while drawing.
struct IconMendMoment {
    bool loaded = false;      // every record was read
    bool writable = false;    // open for writing, not an old format waiting for its upgrade
    bool treeBuilt = false;   // the folder tree shows the records
    bool alreadyRan = false;  // the mend ran for this opening of the wallet
};
bool mayMendIcons(const IconMendMoment& moment);

struct IconMendReport {
    std::size_t mended = 0;  // records saved with a mended icon
    std::size_t failed = 0;  // records whose save failed (they keep their icon)
};

// Mends every live folder and card of the open wallet as iconMendFor says: a folder is saved, a
// card loaded and saved. Nothing on a read-only or old-format wallet. Index positions stay valid.
IconMendReport mendIcons(WalletFile& wallet);

// The moment rule kept for the main window: opened() whenever a wallet has been opened (with
// whether all its records were read), treeBuilt() each time its folder tree has been built. The
// mend runs on the first treeBuilt() after a good opening of a writable wallet, and not again
// until the next opening.
class IconMender {
public:
    void opened(bool loaded) {
        m_loaded = loaded;
        m_ran = false;
    }
    IconMendReport treeBuilt(WalletFile& wallet);

private:
    bool m_loaded = false;
    bool m_ran = false;
};

}  // namespace tw::app
