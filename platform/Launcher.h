#pragma once

#include <string>
#include <vector>

namespace tw {

// Starts other programs without waiting for them: a registered browser, or the desktop's
// default opener for an address (http:, mailto:, tel:, a file).
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` (looked up on PATH when it has no slash) with `args`. False when it
    // could not be started.
    virtual bool start(const std::string& program, const std::vector<std::string>& args) = 0;
    // Opens an address with the desktop's default program for it.
    virtual bool openDefault(const std::string& address) = 0;
};

class PosixLauncher final : public Launcher {
public:
    bool start(const std::string& program, const std::vector<std::string>& args) override;
    bool openDefault(const std::string& address) override;
};

// For tests: records what it was asked to start.
class RecordingLauncher final : public Launcher {
public:
    struct Start {
        std::string program;
        std::vector<std::string> args;
    };
    bool start(const std::string& program, const std::vector<std::string>& args) override {
        started.push_back({program, args});
        return succeed;
    }
    bool openDefault(const std::string& address) override {
        opened.push_back(address);
        return succeed;
    }
    std::vector<Start> started;
    std::vector<std::string> opened;
    bool succeed = true;
};

}  // namespace tw
