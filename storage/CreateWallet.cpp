#include "storage/CreateWallet.h"

#include "platform/Text.h"
#include "storage/WalletFile.h"

namespace tw {

CreateResult createWallet(Env& env, const std::string& path, std::optional<std::u16string_view> password,
                          std::optional<std::u16string_view> hint, bool firstFolder) {
    if (fromUtf8(path).size() < 6) return CreateResult::BadPath;
    if (!password) return CreateResult::NoPassword;
    if (password->size() < kMinPassword || password->size() > kMaxPassword) return CreateResult::BadPasswordLength;
    if (!isValidUtf16(*password)) return CreateResult::PasswordNotText;
    if (env.files.exists(path)) return CreateResult::Exists;
    std::unique_ptr<File> file = env.files.open(path, OpenMode::CreateNew);
    if (!file) return CreateResult::CannotCreate;

    auto fail = [&](CreateResult r) {
        file.reset();
        env.files.remove(path);
        return r;
    };
    const SystemTime now = env.clock.localTime();
    HeaderBlock header = HeaderBlock::create();
    KeyBlock keys;
    keys.create(now, password, hint,
                {env.strings.text(create_text::kFavourites), env.strings.text(create_text::kSearchResults),
                 env.strings.text(create_text::kThirdEntry)});
    if (!keys.recordKey.active() || !keys.fileKey.active()) return fail(CreateResult::KeySetupFailed);
    SettingsBlock settings = SettingsBlock::create();

    if (header.write(file.get()) != FileResult::Done) return fail(CreateResult::HeaderWriteFailed);
    if (keys.write(file.get(), env.random) != FileResult::Done) return fail(CreateResult::KeyWriteFailed);
    if (settings.write(file.get()) != FileResult::Done) return fail(CreateResult::SettingsWriteFailed);
    if (!file->flush()) return fail(CreateResult::SettingsWriteFailed);
    file.reset();

    // The folders go in through the record store, like every later record.
    WalletFile wallet(env);
    if (wallet.open(path, password, false) != OpenResult::Ok) return fail(CreateResult::CannotCreate);
    if (firstFolder) {
        RecordHeader folder = wallet.newFolder(RecordId{}, false);
        folder.putName(env.strings.text(create_text::kFirstFolder), wallet.recordKey());
        folder.setIconIndex(kNewFolderIcon);
        if (wallet.appendFolder(folder) < 0) {
            wallet.close();
            return fail(CreateResult::CannotCreate);
        }
    }
    RecordHeader forms = wallet.newFolder(RecordId{}, true);
    forms.putName(env.strings.text(create_text::kFormsFolder), wallet.recordKey());
    forms.setIconIndex(55);
    if (wallet.appendFolder(forms) < 0) {
        wallet.close();
        return fail(CreateResult::CannotCreate);
    }
    wallet.close();
    return CreateResult::Ok;
}

}  // namespace tw
