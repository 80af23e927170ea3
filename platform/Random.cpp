#include "platform/Random.h"

#include <sys/random.h>

#include <cstdlib>

namespace tw {

namespace {

void osBytes(void* out, std::size_t size) {
    auto* p = static_cast<unsigned char*>(out);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::getrandom(p + got, size - got, 0);
        if (n <= 0) std::abort();  // the kernel's generator does not fail once seeded
        got += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::uint32_t OsRandom::next() {
    std::uint32_t value = 0;
    osBytes(&value, sizeof value);
    return value;
}

void OsRandom::fill(std::uint32_t* words, std::size_t count) {
    osBytes(words, count * sizeof *words);
}

BufferedRandom::~BufferedRandom() {
    volatile std::uint32_t* p = m_words.data();
    for (std::size_t i = 0; i < m_words.size(); ++i) p[i] = 0;
}

std::uint32_t BufferedRandom::next() {
    if (m_at == m_words.size()) {
        m_source.fill(m_words.data(), m_words.size());
        m_at = 0;
    }
    const std::uint32_t value = m_words[m_at];
    m_words[m_at++] = 0;  // a number handed out is not kept
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
