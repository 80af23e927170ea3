#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tw::samples {

// One sample file the build writes into its samples/ folder: the file's name and the function
// that makes its bytes (empty when making it failed). Every sample is made by the project's own
// code from fixed inputs, so each build writes the same bytes.
struct Sample {
    const char* fileName;
    std::vector<std::uint8_t> (*make)();
};

// Every sample, in the order they are written. A new sample is one more function and one more
// entry here (and its file name in samples/CMakeLists.txt).
std::span<const Sample> allSamples();

// "Form Sample.tmx": a web-account form made in a wallet in memory and exported without values.
std::vector<std::uint8_t> formSample();

// "Import Sample.txt": a card table for the text import, UTF-16LE with a byte-order mark, a
// header row and three cards.
std::vector<std::uint8_t> importSample();

// "My Sample Wallet.tm5": the sample wallet of model/SampleWallet.h (password "tallowmere"),
// with the built-in English names.
std::vector<std::uint8_t> walletSample();

}  // namespace tw::samples
