#include "app/PasswordCheck.h"

#include "platform/Text.h"
#include "storage/HeaderBlock.h"

namespace tw::app {

OpenResult PasswordCheck::read(FileSystem& files, const std::string& path, PasswordCheck& check) {
    if (fromUtf8(path).size() < 6) return OpenResult::BadPath;
    const std::unique_ptr<File> file = files.open(path, OpenMode::Read);
    if (!file) return OpenResult::CannotOpen;
    std::uint64_t size = 0;
    HeaderBlock header;
    if (!file->size(&size) || size < HeaderBlock::kSize) return OpenResult::NotAWallet;
    if (header.read(file.get()) != FileResult::Done || !header.valid) return OpenResult::NotAWallet;
    if (header.version() == HeaderBlock::Version::Unknown) return OpenResult::BadVersion;
    KeyBlock keys;
    if (keys.read(file.get()) != FileResult::Done) return OpenResult::BadKeyBlock;
    check.m_keys = keys;
    return OpenResult::Ok;
}

bool PasswordCheck::verify(std::u16string_view password) {
    if (!hasPassword()) return true;
    // Verifying an old-format check value rewrites it in memory; a copy keeps this one intact.
    KeyBlock keys = m_keys;
    return keys.verifyPassword(password);
}

std::u16string PasswordCheck::hint() const {
    std::u16string hint;
    if (!m_keys.readHint(hint)) hint.clear();
    return hint;
}

}  // namespace tw::app
