#include "storage/Md5.h"

#include <cstring>

#include "storage/Bytes.h"

namespace tw {
namespace {

constexpr std::uint32_t kT[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr int kShift[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                            14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                            4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

inline std::uint32_t rotl(std::uint32_t x, int c) {
    return (x << c) | (x >> (32 - c));
}

}  // namespace

Md5::~Md5() {
    wipe(this, sizeof *this);
}

void Md5::init() {
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
    m_bits = 0;
    std::memset(m_buffer, 0, sizeof m_buffer);
}

void Md5::transform(const std::uint8_t block[64]) {
    std::uint32_t m[16];
    for (int k = 0; k < 16; ++k) m[k] = getU32(block, 4 * k);
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int k = 0; k < 64; ++k) {
        std::uint32_t f;
        int g;
        if (k < 16) {
            f = (b & c) | (~b & d);
            g = k;
        } else if (k < 32) {
            f = (d & b) | (~d & c);
            g = (5 * k + 1) % 16;
        } else if (k < 48) {
            f = b ^ c ^ d;
            g = (3 * k + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * k) % 16;
        }
        const std::uint32_t next = d;
        d = c;
        c = b;
        b = b + rotl(a + f + kT[k] + m[g], kShift[k]);
        a = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    wipe(m, sizeof m);
}

void Md5::update(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t used = static_cast<std::size_t>((m_bits / 8) % 64);
    m_bits += static_cast<std::uint64_t>(size) * 8;
    while (size > 0) {
        const std::size_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(m_buffer + used, p, take);
        used += take;
        p += take;
        size -= take;
        if (used == 64) {
            transform(m_buffer);
            used = 0;
        }
    }
}

Digest Md5::finish() {
    const std::uint64_t bits = m_bits;
    std::uint8_t pad[72] = {0x80};
    const std::size_t used = static_cast<std::size_t>((bits / 8) % 64);
    const std::size_t padLen = used < 56 ? 56 - used : 120 - used;
    std::uint8_t length[8];
    for (int k = 0; k < 8; ++k) length[k] = static_cast<std::uint8_t>(bits >> (8 * k));
    update(pad, padLen);
    update(length, 8);
    Digest out;
    for (int k = 0; k < 4; ++k) putU32(out.data(), 4 * k, m_state[k]);
    wipe(this, sizeof *this);
    init();
    return out;
}

Digest md5(const void* data, std::size_t size) {
    Md5 ctx;
    ctx.update(data, size);
    return ctx.finish();
}

}  // namespace tw
