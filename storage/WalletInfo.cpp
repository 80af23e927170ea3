#include "storage/WalletInfo.h"

#include <cstring>
#include <set>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/RecordCursor.h"

namespace tw {

OpenResult inspectWallet(Env& env, const std::string& path, WalletInfo& info, InspectDepth depth) {
    if (fromUtf8(path).size() < 6) return OpenResult::BadPath;
    std::unique_ptr<File> file = env.files.open(path, OpenMode::Read);
    if (!file) return OpenResult::CannotOpen;
    HeaderBlock header;
    if (!file->size(&info.fileSize) || info.fileSize < HeaderBlock::kSize) return OpenResult::NotAWallet;
    if (header.read(file.get()) != FileResult::Done || !header.valid) return OpenResult::NotAWallet;
    if (header.version() == HeaderBlock::Version::Unknown) return OpenResult::BadVersion;
    info.oldFormat = header.version() == HeaderBlock::Version::Old;
    const char* v = reinterpret_cast<const char*>(header.raw.data() + HeaderBlock::kVersionAt);
    info.version.assign(v, strnlen(v, HeaderBlock::kVersionSize));

    KeyBlock keys;
    if (keys.read(file.get()) != FileResult::Done) return OpenResult::BadKeyBlock;
    info.hasPassword = keys.hasCheckValue();
    info.created = keys.createdAt();
    keys.readHint(info.hint);
    for (int entry = 1; entry <= KeyBlock::kSpecialCount; ++entry) {
        std::uint32_t icon = 0;
        keys.readSpecial(entry, info.specialNames[entry - 1], icon);
        info.specialIcons[entry - 1] = keys.specialIcon(entry);
    }
    SettingsBlock settings;
    if (settings.read(file.get()) != FileResult::Done) return OpenResult::BadSettingsBlock;
    info.closeMinutes = settings.closeMinutes();
    info.favourites = settings.favouriteCount();

    if (depth == InspectDepth::Blocks) return OpenResult::Ok;

    std::set<RecordId> formsFolders;
    std::vector<RecordId> cardParents;
    RecordCursor cursor(*file, RecordCursor::Reading::ReadAhead);
    RecordCursor::View view;
    auto idAt = [&](std::size_t offset) {
        RecordId id;
        std::memcpy(id.bytes.data(), view.header + offset, 16);
        return id;
    };
    for (;;) {
        const RecordCursor::Step step = cursor.next(view);
        if (step == RecordCursor::Step::End) break;
        if (step != RecordCursor::Step::Record) {
            info.damaged = true;
            break;
        }
        const RecordType type = recordTypeOf(view.header);
        if (getU32(view.header, RecordHeader::kDeletedMark) != 0) {
            ++info.deleted;
        } else if (type == RecordType::Card) {
            cardParents.push_back(idAt(RecordHeader::kParent));
        } else {
            ++info.folders;
            if (type == RecordType::FormsFolder) formsFolders.insert(idAt(RecordHeader::kId));
        }
        if (!cursor.skipBody()) break;
    }
    for (const RecordId& parent : cardParents) (formsFolders.count(parent) ? info.forms : info.cards)++;
    return OpenResult::Ok;
}

}  // namespace tw
