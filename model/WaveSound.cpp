#include "model/WaveSound.h"

#include "storage/Bytes.h"

namespace tw {

namespace {

bool tagIs(std::span<const std::uint8_t> image, std::size_t at, const char* tag) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (image[at + i] != static_cast<std::uint8_t>(tag[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<WaveInfo> readWave(std::span<const std::uint8_t> image) {
    // Head: "RIFF", u32 size, "WAVE"; then chunks {tag (4), u32 size, bytes, a pad byte when odd}.
    if (image.size() < 12 || !tagIs(image, 0, "RIFF") || !tagIs(image, 8, "WAVE")) return std::nullopt;
    WaveInfo info;
    bool haveFormat = false;
    std::size_t at = 12;
    while (image.size() - at >= 8) {
        const std::uint32_t size = getU32(image.data(), at + 4);
        const std::size_t body = at + 8;
        const std::size_t left = image.size() - body;
        if (tagIs(image, at, "fmt ")) {
            if (size < 16 || size > left) return std::nullopt;
            info.format = getU16(image.data(), body);
            info.channels = getU16(image.data(), body + 2);
            info.sampleRate = getU32(image.data(), body + 4);
            info.bitsPerSample = getU16(image.data(), body + 14);
            if ((info.format != 1 && info.format != 3) || info.channels < 1 || info.channels > 8 ||
                info.sampleRate < 1 || info.sampleRate > 384000 || info.bitsPerSample < 8 || info.bitsPerSample > 32 ||
                info.bitsPerSample % 8 != 0)
                return std::nullopt;
            haveFormat = true;
        } else if (tagIs(image, at, "data")) {
            if (!haveFormat) return std::nullopt;
            const std::size_t frame = static_cast<std::size_t>(info.channels) * (info.bitsPerSample / 8);
            std::size_t data = size < left ? size : left;
            data -= data % frame;
            info.dataOffset = body;
            info.dataSize = data;
            return info;
        }
        if (size > left) return std::nullopt;
        at = body + size + (size & 1);
        if (at > image.size()) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tw
