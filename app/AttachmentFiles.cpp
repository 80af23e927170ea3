#include "app/AttachmentFiles.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"

namespace tw::app {

namespace {

constexpr std::size_t kMaxNameBytes = 200;

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace

std::string cleanFileName(std::u16string_view stored) {
    const std::size_t cut = stored.find_last_of(u"/\\");
    if (cut != std::u16string_view::npos) stored.remove_prefix(cut + 1);
    std::u16string kept;
    for (char16_t c : stored) {
        if (c < 0x20 || c == 0x7F) continue;
        kept.push_back(c);
    }
    if (std::all_of(kept.begin(), kept.end(), [](char16_t c) { return c == u'.' || c == u' '; })) kept = u"attachment";
    if (kept.front() == u'-' || kept.front() == u'.') kept.insert(kept.begin(), u'_');
    std::string name = toUtf8(kept);
    if (name.size() > kMaxNameBytes) {
        std::size_t end = kMaxNameBytes;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name.resize(end);
    }
    return name;
}

std::string datedFileName(const SystemTime& today, std::u16string_view stored) {
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u_", static_cast<unsigned>(today.year) % 10000u,
                  static_cast<unsigned>(today.month) % 100u, static_cast<unsigned>(today.day) % 100u);
    return date + cleanFileName(stored);
}

bool isWalletFileName(std::string_view name) {
    return endsWithNoCase(name, ".wal") || endsWithNoCase(name, ".tm5");
}

void TempFiles::remember(const std::string& path) {
    if (std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end()) m_paths.push_back(path);
}

std::size_t TempFiles::deleteAll() {
    std::size_t left = 0;
    for (const std::string& path : m_paths) {
        if (!removeFile(path)) ++left;
    }
    m_paths.clear();
    return left;
}

WriteOut writeOut(const std::string& folder, const SystemTime& today, std::u16string_view storedName,
                  std::span<const std::uint8_t> data, bool onlyIfAbsent) {
    WriteOut out;
    out.path = folder + "/" + datedFileName(today, storedName);
    out.result = writePrivateFile(out.path, data, onlyIfAbsent);
    return out;
}

std::string openedFilesFolder() {
    const std::string folder = runtimeFolder() + "/opened";
    return makePrivateFolder(folder) ? folder : std::string();
}

OpenedFile writeForOpening(const Card& card, std::size_t slot, const std::string& folder, const SystemTime& today,
                           TempFiles& temp) {
    OpenedFile opened;
    if (slot >= Card::kFileSlots || !card.file(slot).hasData() || folder.empty()) return opened;
    const Attachment& file = card.file(slot);
    const WriteOut out = writeOut(folder, today, file.name(), file.data(), false);
    if (out.result != PrivateWrite::Written) return opened;
    opened.path = out.path;
    opened.open = !isWalletFileName(out.path);
    if (opened.open) temp.remember(out.path);
    return opened;
}

}  // namespace tw::app
