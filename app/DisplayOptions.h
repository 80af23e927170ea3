#pragma once

#include <cstdint>

#include "app/Settings.h"
#include "storage/SettingsBlock.h"

namespace tw::app {

// The display options: the folder tree's and the card view's text sizes (program settings), and
// the open wallet's tree colours and the display settings its new cards take (the wallet's
// settings block). Cards made before keep their own display settings.
struct DisplayOptions {
    // Tree text size entry 0-5: small, medium, large, then the same in bold.
    int treeSize = 1;
    // Card text size entry 0-2: small, medium, large.
    int cardSize = 1;
    bool namesBold = false;
    bool valuesBold = false;
    // COLORREF values (0x00BBGGRR).
    std::uint32_t folderColour = 0;
    std::uint32_t cardColour = 0;
    std::uint32_t background = 0;
    std::uint32_t nameColour = 0;
    std::uint32_t valueColour = 0;
};

// The entry a text size setting shows: 1-8 small, 9 medium, 10-12 large; 0 or less large for
// cards; anything else medium.
int sizeEntry(std::uint32_t points, bool card);
// The size an entry stores: 8, 9 or 11 points.
std::uint32_t entryPoints(int entry);

DisplayOptions loadDisplayOptions(const Settings& settings, const SettingsBlock& block);
// Writes every option; the block is marked changed (and its change time set) only when a word of
// it differs.
void storeDisplayOptions(const DisplayOptions& options, Settings& settings, SettingsBlock& block,
                         const SystemTime& now);

}  // namespace tw::app
