#include "platform/Random.h"

#include <sys/random.h>

#include <cstdlib>

namespace tw {

std::uint32_t OsRandom::next() {
    std::uint32_t value = 0;
    auto* p = reinterpret_cast<unsigned char*>(&value);
    std::size_t got = 0;
    while (got < sizeof value) {
        const ssize_t n = ::getrandom(p + got, sizeof value - got, 0);
        if (n <= 0) std::abort();  // the kernel's generator does not fail once seeded
        got += static_cast<std::size_t>(n);
    }
    return value;
}

std::uint32_t SequenceRandom::next() {
    // xorshift32; never zero for a non-zero seed.
    std::uint32_t x = m_state == 0 ? 0x9E3779B9u : m_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_state = x;
    return x;
}

}  // namespace tw
