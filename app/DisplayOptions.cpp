#include "app/DisplayOptions.h"

#include "model/CardDisplay.h"
#include "storage/Bytes.h"

namespace tw::app {

namespace {

std::size_t displayWord(std::size_t word) {
    return SettingsBlock::kDefaultDisplay + 4 * word;
}

bool put(SettingsBlock& block, std::size_t offset, std::uint32_t value) {
    if (block.word(offset) == value) return false;
    putU32(block.raw.data(), offset, value);
    return true;
}

}  // namespace

int sizeEntry(std::uint32_t points, bool card) {
    const auto signedPoints = static_cast<std::int32_t>(points);
    if (card && signedPoints <= 0) return 2;
    if (signedPoints >= 1 && signedPoints <= 8) return 0;
    if (signedPoints == 9) return 1;
    if (signedPoints >= 10 && signedPoints <= 12) return 2;
    return 1;
}

std::uint32_t entryPoints(int entry) {
    switch (entry % 3) {
        case 1:
            return 9;
        case 2:
            return 11;
        default:
            return 8;
    }
}

DisplayOptions loadDisplayOptions(const Settings& settings, const SettingsBlock& block) {
    DisplayOptions options;
    options.treeSize = sizeEntry(settings.fontMain, false) + ((settings.fontMainStyle & 1) ? 3 : 0);
    options.cardSize = sizeEntry(settings.fontCard, true);
    options.namesBold = block.word(displayWord(CardDisplay::kNamesBold)) != 0;
    options.valuesBold = block.word(displayWord(CardDisplay::kValuesBold)) != 0;
    options.folderColour = block.word(SettingsBlock::kFolderColour);
    options.cardColour = block.word(SettingsBlock::kCardColour);
    options.background = block.word(displayWord(CardDisplay::kBackground));
    options.nameColour = block.word(displayWord(CardDisplay::kNameColour));
    options.valueColour = block.word(displayWord(CardDisplay::kValueColour));
    return options;
}

void storeDisplayOptions(const DisplayOptions& options, Settings& settings, SettingsBlock& block,
                         const SystemTime& now) {
    settings.fontMain = entryPoints(options.treeSize);
    settings.fontMainStyle = options.treeSize >= 3 ? (settings.fontMainStyle | 1u) : (settings.fontMainStyle & ~1u);
    settings.fontCard = entryPoints(options.cardSize);
    bool changed = false;
    changed |= put(block, displayWord(CardDisplay::kTextSize), settings.fontCard);
    changed |= put(block, displayWord(CardDisplay::kNamesBold), options.namesBold ? 1 : 0);
    changed |= put(block, displayWord(CardDisplay::kValuesBold), options.valuesBold ? 1 : 0);
    changed |= put(block, SettingsBlock::kFolderColour, options.folderColour);
    changed |= put(block, SettingsBlock::kCardColour, options.cardColour);
    changed |= put(block, displayWord(CardDisplay::kBackground), options.background);
    changed |= put(block, displayWord(CardDisplay::kNameColour), options.nameColour);
    changed |= put(block, displayWord(CardDisplay::kValueColour), options.valueColour);
    if (!changed) return;
    putSystemTime(block.raw.data(), SettingsBlock::kChangedAt, now);
    block.changed = true;
}

}  // namespace tw::app
