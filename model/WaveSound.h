#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tw {

// What a card's sound holds, read from its wave file image (RIFF "WAVE"): the format chunk's
// values and where the sample data lies. Only uncompressed PCM and IEEE float with 1-8 channels,
// 8-32 bits and 1-384000 samples per second are taken; the data chunk is cut to what the image
// holds and to whole sample frames.
struct WaveInfo {
    std::uint16_t format = 0;  // 1 PCM, 3 IEEE float
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;
};

// Reads the chunk list; none when the image is not such a wave (no RIFF/WAVE head, no format
// chunk before the data chunk, values out of range, chunk sizes running past the image).
std::optional<WaveInfo> readWave(std::span<const std::uint8_t> image);

}  // namespace tw
