#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "storage/FormatUpgrade.h"
#include "storage/WalletConversion.h"

namespace tw::cli {

// The upgrade's progress as a bar on the error stream, redrawn when the percentage changes.
class TerminalProgress final : public UpgradeProgress {
public:
    explicit TerminalProgress(std::ostream& err) : m_err(err) {}
    void update(std::uint64_t done, std::uint64_t total) override;
    void finish() override;

private:
    void draw(unsigned percent);

    std::ostream& m_err;
    int m_last = -1;
};

// One line for a failed upgrade pass and for each conversion result.
std::string describe(ReencryptResult result);
std::string describe(ConvertResult result, const std::string& oldPath, const std::string& newPath);
int exitCodeFor(ConvertResult result);

// convert OLD.wal [NEW.tm5]: an older wallet into a new one.
void addUpgradeCommands(std::vector<std::unique_ptr<Command>>& commands);

}  // namespace tw::cli
