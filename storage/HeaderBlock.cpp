#include "storage/HeaderBlock.h"

#include <cstring>
#include <string>

namespace tw {

const std::string_view kSignature =
    "Halvorsgarden\xAE Tallowmere\xAE File\r\n"
    "www.halvorsgarden.com\r\n";

namespace {

void putVersion(std::uint8_t* raw) {
    std::memset(raw + HeaderBlock::kVersionAt, 0, HeaderBlock::kVersionSize + HeaderBlock::kTagSize);
    std::memcpy(raw + HeaderBlock::kVersionAt, kCurrentVersion.data(), kCurrentVersion.size());
    std::memcpy(raw + HeaderBlock::kTagAt, kPlatformTag.data(), kPlatformTag.size());
}

std::string_view terminated(const std::uint8_t* p, std::size_t size) {
    std::size_t n = 0;
    while (n < size && p[n] != 0) ++n;
    return {reinterpret_cast<const char*>(p), n};
}

}  // namespace

HeaderBlock HeaderBlock::create() {
    static_assert(HeaderBlock::kTagAt + HeaderBlock::kTagSize == HeaderBlock::kSize);
    HeaderBlock h;
    std::memcpy(h.raw.data(), kSignature.data(), kSignature.size());
    putVersion(h.raw.data());
    h.valid = true;
    h.changed = true;
    return h;
}

FileResult HeaderBlock::read(File* file) {
    valid = false;
    const FileResult r = readBlock(file, raw.data(), kSize);
    if (r != FileResult::Done) return r;
    valid = terminated(raw.data() + kSignatureAt, kSignatureSize) == kSignature;
    changed = false;
    return r;
}

FileResult HeaderBlock::write(File* file) {
    if (!valid) return FileResult::NoBuffer;
    putVersion(raw.data());
    const FileResult r = writeBlock(file, raw.data(), kSize);
    if (r == FileResult::Done) changed = false;
    return r;
}

HeaderBlock::Version HeaderBlock::version() const {
    const std::string_view text = terminated(raw.data() + kVersionAt, kVersionSize);
    if (text.find("6.") != std::string_view::npos) return Version::Current;
    if (text.find("5.") != std::string_view::npos) return Version::Old;
    return Version::Unknown;
}

}  // namespace tw
