// Feeds arbitrary bytes to the wave reader a card's sound goes through before it is played, and
// checks that what it accepts lies inside the image and is made of whole sample frames.
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/WaveSound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto info = tw::readWave(std::span<const std::uint8_t>(data, size));
    if (!info) return 0;
    if (info->dataOffset > size || info->dataSize > size - info->dataOffset) __builtin_trap();
    const std::size_t frame = static_cast<std::size_t>(info->channels) * (info->bitsPerSample / 8);
    if (frame == 0 || info->dataSize % frame != 0) __builtin_trap();
    return 0;
}
