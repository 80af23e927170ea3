#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/File.h"

namespace tw {

// The wallet signature (8-bit, two lines, 0xAE for the registered sign). Every wallet written
// by this program carries it; a reader compares it exactly.
extern const std::string_view kSignature;
constexpr std::string_view kCurrentVersion = "(6.50) ";
constexpr std::string_view kPlatformTag = "WM";

// The first block of a wallet file, in clear (76 bytes):
//   0 signature, NUL-terminated, zero-filled (64)   64 version text (8)   72 platform tag (4)
class HeaderBlock {
public:
    static constexpr std::size_t kSize = 76;
    static constexpr std::size_t kSignatureAt = 0;
    static constexpr std::size_t kSignatureSize = 64;
    static constexpr std::size_t kVersionAt = 64;
    static constexpr std::size_t kVersionSize = 8;
    static constexpr std::size_t kTagAt = 72;
    static constexpr std::size_t kTagSize = 4;

    enum class Version { Current, Old, Unknown };

    std::array<std::uint8_t, kSize> raw{};
    bool valid = false;  // read with a matching signature, or created
    bool changed = false;

    // A fresh header: signature, current version text and tag; valid.
    static HeaderBlock create();

    // Reads 76 bytes at the current position; a matching signature marks the header valid.
    // Returns the read's result; a signature mismatch shows only in `valid`.
    FileResult read(File* file);
    // Refuses (NoBuffer) unless valid; sets the current version text and tag, writes 76 bytes.
    FileResult write(File* file);

    // "6." anywhere in the version text is current; else "5." is the old format.
    Version version() const;
};

}  // namespace tw
