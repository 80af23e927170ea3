#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw {

// The platform's 32-bit random-number call.
class Random {
public:
    virtual ~Random() = default;
    virtual std::uint32_t next() = 0;
    // The next `count` numbers, the same as that many calls of next().
    virtual void fill(std::uint32_t* words, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) words[i] = next();
    }
};

// Random numbers from the operating system's secure generator.
class OsRandom final : public Random {
public:
    std::uint32_t next() override;
    void fill(std::uint32_t* words, std::size_t count) override;
};

// Numbers drawn from another source a block at a time, for callers that need many of them in a
// row (the ids of a wallet's new records). Keys take theirs from the source itself.
class BufferedRandom final : public Random {
public:
    explicit BufferedRandom(Random& source) : m_source(source) {}
    ~BufferedRandom() override;
    BufferedRandom(const BufferedRandom&) = delete;
    BufferedRandom& operator=(const BufferedRandom&) = delete;
    std::uint32_t next() override;

    // Numbers drawn with one request of the source: 4 KiB, one call of the system's generator.
    static constexpr std::size_t kBlock = 1024;

private:
    Random& m_source;
    std::array<std::uint32_t, kBlock> m_words{};
    std::size_t m_at = kBlock;
};

// A repeatable source for tests: a simple counter-based sequence from a seed.
class SequenceRandom final : public Random {
public:
    explicit SequenceRandom(std::uint32_t seed = 1) : m_state(seed) {}
    std::uint32_t next() override;

private:
    std::uint32_t m_state;
};

}  // namespace tw
