#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "model/Card.h"
#include "storage/WalletFile.h"

namespace tw {

// Reads the live cards at the index positions `positions` in one pass over the wallet file, in
// the order they are stored, each body parsed once into one card that is reused (with its record
// header; `parts` as Card::parseBody takes it). `use(i, card)` is called for every entry i of
// `positions` whose card was read; entries naming the same card get one call each. A card is the
// first live card record with its identifier, as WalletFile::loadCard finds it. The card passed
// is valid only during the call.
//
// Returns how many entries could not be read: no live card record with that identifier, a body
// under 64 bytes or one Card::parseBody refuses, or a file that ends or is damaged before it.
std::size_t readCardsInFileOrder(WalletFile& wallet, std::span<const std::size_t> positions, Card::Parts parts,
                                 const std::function<void(std::size_t, const Card&)>& use);

}  // namespace tw
