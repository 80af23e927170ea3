#pragma once

#include <cstdint>
#include <vector>

namespace tw {

// The platform's 32-bit random-number call.
class Random {
public:
    virtual ~Random() = default;
    virtual std::uint32_t next() = 0;
};

// Random numbers from the operating system's secure generator.
class OsRandom final : public Random {
public:
    std::uint32_t next() override;
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
