#pragma once

#include <cstdint>

namespace tw {

// Small device services: free memory and pauses.
class System {
public:
    virtual ~System() = default;
    // Available physical memory in bytes.
    virtual std::uint64_t availableMemory() = 0;
    // A pause between steps of a long pass. On a single-core device it kept the system
    // responsive; here the production implementation only yields.
    virtual void pause(unsigned milliseconds) = 0;
};

class HostSystem final : public System {
public:
    std::uint64_t availableMemory() override;
    void pause(unsigned milliseconds) override;
};

// For tests: a settable memory figure, and pauses that are only counted.
class FakeSystem final : public System {
public:
    std::uint64_t memory = 64ull << 20;
    unsigned pauses = 0;
    std::uint64_t availableMemory() override { return memory; }
    void pause(unsigned) override { ++pauses; }
};

}  // namespace tw
