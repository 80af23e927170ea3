#include "cli/CardSupport.h"

#include "platform/Text.h"

namespace tw::cli {

int findCard(Session& session, const std::string& path, std::size_t& position) {
    const Resolved r = resolvePath(session.wallet(), path);
    if (r.error) return session.fail(r.error, r.message);
    if (r.position < 0 || session.wallet().index().at(static_cast<std::size_t>(r.position)).type() != RecordType::Card)
        return session.fail(exit_code::kUsage, "'" + path + "' is not a card");
    position = static_cast<std::size_t>(r.position);
    return exit_code::kOk;
}

int findFolder(Session& session, const std::string& path, RecordId& folder) {
    const Resolved r = resolvePath(session.wallet(), path);
    if (r.error) return session.fail(r.error, r.message);
    folder = RecordId{};
    if (r.position < 0) return exit_code::kOk;
    const IndexEntry& h = session.wallet().index().at(static_cast<std::size_t>(r.position));
    if (h.type() == RecordType::Card) return session.fail(exit_code::kUsage, "'" + path + "' is a card, not a folder");
    folder = h.id();
    return exit_code::kOk;
}

bool nameTaken(const WalletFile& wallet, const RecordId& parent, std::u16string_view name, std::int64_t except) {
    const WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i) {
        const IndexEntry& h = index.at(i);
        if (static_cast<std::int64_t>(i) == except || h.deleted() || h.parent() != parent) continue;
        if (equalNoCase(wallet.nameOf(i), name)) return true;
    }
    return false;
}

std::string formatWhen(const SystemTime& when, const LocalePatterns& locale) {
    if (when.year == 0) return "unknown";
    return toUtf8(formatShortDate(when, locale) + u" " + formatShortTime(when, locale));
}

}  // namespace tw::cli
