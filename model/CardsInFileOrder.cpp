#include "model/CardsInFileOrder.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "storage/RecordCursor.h"

namespace tw {

std::size_t readCardsInFileOrder(WalletFile& wallet, std::span<const std::size_t> positions, Card::Parts parts,
                                 const std::function<void(std::size_t, const Card&)>& use) {
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    const WalletIndex& index = wallet.index();
    // The entries wanted at each index position, as a list through `next`.
    std::vector<std::size_t> first(index.count(), kNone);
    std::vector<std::size_t> next(positions.size(), kNone);
    std::size_t waiting = 0;
    for (std::size_t i = positions.size(); i-- > 0;) {
        if (positions[i] >= index.count()) continue;
        // Entries are keyed by the position the index gives their identifier.
        const std::int64_t at = index.find(index.at(positions[i]).id());
        if (at < 0) continue;
        const auto key = static_cast<std::size_t>(at);
        if (first[key] == kNone) ++waiting;
        next[i] = first[key];
        first[key] = i;
    }
    std::size_t read = 0;
    if (waiting > 0 && wallet.isOpen() && wallet.positionAtFirstRecord()) {
        RecordCursor cursor(*wallet.file(), RecordCursor::Reading::ReadAhead);
        RecordHeader h;
        Card card;
        std::span<const std::uint8_t> body;
        // The index lists the records of a freshly opened file in the order they are stored: the
        // entry expected next is checked first, which spares most lookups by identifier.
        std::size_t expected = 0;
        while (waiting > 0 && cursor.next(h) == RecordCursor::Step::Record) {
            const std::size_t here = expected++;
            if (h.type() == RecordType::Card && !h.deleted()) {
                std::int64_t at = -1;
                if (here < index.count() && first[here] != kNone && index.at(here).offset() == cursor.start() &&
                    index.at(here).id() == h.id()) {
                    at = static_cast<std::int64_t>(here);  // wanted entries are the first with their identifier
                } else {
                    at = index.find(h.id());
                    if (at >= 0 && index.at(static_cast<std::size_t>(at)).offset() == cursor.start())
                        expected = static_cast<std::size_t>(at) + 1;
                }
                if (at >= 0 && first[static_cast<std::size_t>(at)] != kNone) {
                    const std::size_t head = first[static_cast<std::size_t>(at)];
                    first[static_cast<std::size_t>(at)] = kNone;  // later records with this identifier are not it
                    --waiting;
                    if (h.bodyLength() >= CardDisplay::kSize && cursor.body(&body)) {
                        card.setHeader(h);
                        if (card.parseBody(body, wallet.recordKey(), parts)) {
                            for (std::size_t i = head; i != kNone; i = next[i]) {
                                use(i, card);
                                ++read;
                            }
                        }
                    }
                }
            }
            if (!cursor.skipBody()) break;
        }
        card.release();
    }
    return positions.size() - read;
}

}  // namespace tw
