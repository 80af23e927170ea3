#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tw {

using Digest = std::array<std::uint8_t, 16>;

// MD5 (RFC 1321), incremental. finish() wipes the context.
class Md5 {
public:
    Md5() { init(); }
    ~Md5();
    void init();
    void update(const void* data, std::size_t size);
    Digest finish();

private:
    void transform(const std::uint8_t block[64]);

    std::uint32_t m_state[4];
    std::uint64_t m_bits;
    std::uint8_t m_buffer[64];
};

Digest md5(const void* data, std::size_t size);

}  // namespace tw
