#include "app/IconMend.h"

#include <memory>

#include "model/Card.h"
#include "storage/WalletFile.h"

namespace tw::app {

IconMend iconMendFor(std::int32_t iconIndex, bool hasCustomData) {
    if (iconIndex == RecordHeader::kCustomIcon) return IconMend::Keep;
    if (iconIndex >= 0 && iconIndex < RecordHeader::kIconCount) return IconMend::Keep;
    return hasCustomData ? IconMend::UseCustom : IconMend::Clear;
}

bool mayMendIcons(const IconMendMoment& moment) {
    return moment.loaded && moment.writable && moment.treeBuilt && !moment.alreadyRan;
}

namespace {

// Applies the mend to a header; false when there is nothing to do.
bool mendHeader(RecordHeader& header) {
    std::vector<std::uint8_t> data = header.customIcon();
    switch (iconMendFor(header.iconIndex(), !data.empty())) {
        case IconMend::Keep:
            return false;
        case IconMend::UseCustom:
            header.setCustomIcon(data);
            return true;
        case IconMend::Clear:
            header.setIconIndex(0);
            return true;
    }
    return false;
}

}  // namespace

IconMendReport mendIcons(WalletFile& wallet) {
    IconMendReport report;
    if (!wallet.isOpen() || wallet.readOnly() || wallet.oldFormat()) return report;
    WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i) {
        // Icon numbers in range (or a custom icon) are kept whatever the header holds besides.
        const IndexEntry& entry = index.at(i);
        if (entry.deleted() || iconMendFor(entry.iconIndex(), false) == IconMend::Keep) continue;
        RecordHeader h = wallet.headerAt(i);
        if (!h.loaded || !mendHeader(h)) continue;
        bool saved = false;
        if (h.type() == RecordType::Card) {
            std::unique_ptr<Card> card = wallet.loadCard(h.id());
            if (card && card->header() && mendHeader(*card->header())) saved = wallet.saveCard(*card) >= 0;
        } else {
            saved = wallet.saveFolder(h) >= 0;
        }
        ++(saved ? report.mended : report.failed);
    }
    return report;
}

IconMendReport IconMender::treeBuilt(WalletFile& wallet) {
    const bool writable = wallet.isOpen() && !wallet.readOnly() && !wallet.oldFormat();
    if (!mayMendIcons({.loaded = m_loaded, .writable = writable, .treeBuilt = true, .alreadyRan = m_ran})) return {};
    m_ran = true;
    return mendIcons(wallet);
}

}  // namespace tw::app
