// Feeds arbitrary bytes to the card body reader under a fixed key, and checks that a body it
// accepts is written again in a form that reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/Card.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The key the seeds in fuzz/corpus/CardBodyFuzz were written under.
    std::uint8_t keyBytes[16];
    for (std::size_t i = 0; i < sizeof keyBytes; ++i) keyBytes[i] = static_cast<std::uint8_t>(i + 1);
    tw::KeyRecord key;
    key.set(keyBytes);

    tw::Card card;
    if (!card.parseBody(std::span<const std::uint8_t>(data, size), key)) {
        if (card.loaded() || card.fieldCount() != 0) __builtin_trap();
        return 0;
    }
    if (!card.loaded() || card.fieldCount() > tw::Card::kMaxFields ||
        card.countFileAttachments() > tw::Card::kFileSlots)
        __builtin_trap();

    std::vector<std::uint8_t> body;
    if (!card.serializeBody(key, &body)) __builtin_trap();
    tw::Card again;
    if (!again.parseBody(body, key) || again.droppedItems() != 0) __builtin_trap();
    if (again.fieldCount() != card.fieldCount() || again.countFileAttachments() != card.countFileAttachments())
        __builtin_trap();
    std::vector<std::uint8_t> bodyAgain;
    if (!again.serializeBody(key, &bodyAgain) || bodyAgain != body) __builtin_trap();
    return 0;
}
