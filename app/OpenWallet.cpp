#include "app/OpenWallet.h"

#include <filesystem>
#include <thread>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/FormatUpgrade.h"

namespace tw::app {

namespace {

constexpr std::uint32_t kCaptionInfo = 20001;
constexpr std::uint32_t kCaptionError = 20500;

// Wipes a password when it goes out of scope.
struct WipeOnExit {
    std::u16string& text;
    ~WipeOnExit() { wipe(text.data(), text.size() * sizeof(char16_t)); }
};

bool isOlderWallet(const std::string& path) {
    const std::u16string text = fromUtf8(path);
    return text.size() >= 6 && equalNoCase(std::u16string_view(text).substr(text.size() - 4), u".wal");
}

std::u16string conversionText(const StringTable& strings, ConvertResult result, const std::string& oldPath,
                              const std::string& newPath, const std::string& programFolder, Icon& icon) {
    const std::filesystem::path old(oldPath);
    const std::u16string t =
        format(strings.text(22013), {walletDisplayName(oldPath), fromUtf8(old.parent_path().string())});
    const auto code = static_cast<std::int64_t>(result);
    icon = Icon::Stop;
    switch (result) {
        case ConvertResult::Ok:
            icon = Icon::Information;
            return format(strings.text(22019), {fromUtf8(std::filesystem::path(newPath).filename().string())});
        case ConvertResult::WrongPassword:
            return format(u"%s\n%s", {strings.text(22014), t});
        case ConvertResult::NotOldWallet:
            return format(u"%s\n%s", {strings.text(22015), t});
        case ConvertResult::Exists:
            return format(u"%s%s", {strings.text(22017), t});
        case ConvertResult::NoFolder:
            icon = Icon::Information;
            return format(u"%s%s", {strings.text(22018), t});
        case ConvertResult::NoCustomForms: {
            std::u16string pattern = strings.text(22022);
            if (pattern.size() < 4)
                pattern =
                    u"Could not find associated custom form (*.tcd) definition file for conversion.\n\nPlease copy "
                    u"to the %s folder and try again.";
            return format(pattern, {fromUtf8(programFolder)});
        }
        default:
            // Codes 1, 3, 5, 6, and 8 (the new wallet could not be written), which would otherwise
            // leave the user an empty box.
            return format(u"%s%s\n%s: %02d", {strings.text(22015), t, strings.text(kCaptionError), code});
    }
}

}  // namespace

std::u16string walletDisplayName(const std::string& path) {
    return fromUtf8(std::filesystem::path(path).stem().string());
}

std::optional<std::string> convertOnOpen(Env& env, const OpenRequest& request, PasswordAsker& asker) {
    const Answer convert = env.prompt.ask(
        Message{env.strings.text(22012), env.strings.text(kCaptionInfo), Buttons::YesNo, Icon::Information});
    if (convert != Answer::Yes) return std::nullopt;
    std::optional<std::u16string> password = asker.askPassword(PasswordRequest{walletDisplayName(request.path)});
    if (!password) return std::nullopt;
    WipeOnExit wipePassword{*password};
    ConversionOptions options;
    options.programFolder = request.programFolder;
    options.registry = request.registry;
    std::string newPath;
    const ConvertResult result = convertOldWallet(env, request.path, *password, options, &newPath);
    Icon icon = Icon::Stop;
    const std::u16string text = conversionText(env.strings, result, request.path, newPath, request.programFolder, icon);
    env.prompt.ask(Message{text, env.strings.text(kCaptionInfo), Buttons::Ok, icon});
    if (result != ConvertResult::Ok) return std::nullopt;
    return newPath;
}

OpenOutcome openWallet(WalletFile& wallet, const OpenRequest& request, PasswordAsker& asker) {
    Env& env = wallet.env();
    OpenOutcome outcome;
    outcome.path = request.path;
    if (request.offerConversion && isOlderWallet(request.path)) {
        if (const auto converted = convertOnOpen(env, request, asker)) outcome.path = *converted;
    }
    if (wallet.isOpen()) {
        if (!wallet.readOnly()) (void)wallet.flush();
        wallet.close();
    }

    PasswordCheck check;
    if (!request.fileChecked) {
        outcome.result = PasswordCheck::read(env.files, outcome.path, check);
        if (outcome.result != OpenResult::Ok) return outcome;
    }
    // A wallet another program has open for writing: wait a little, then say who holds it,
    // before the password is asked for nothing.
    if (!request.readOnly && !request.fileChecked) {
        if (auto holder = waitForLock(env.files, outcome.path, request.lockWait)) {
            outcome.result = OpenResult::CannotOpen;
            outcome.stage = OpenStage::Open;
            outcome.lockHolder = std::move(holder);
            return outcome;
        }
    }

    std::optional<std::u16string> password =
        asker.askPassword(PasswordRequest{walletDisplayName(outcome.path), request.fileChecked ? nullptr : &check});
    if (!password) {
        outcome.stage = OpenStage::Cancelled;
        return outcome;
    }
    WipeOnExit wipePassword{*password};
    const std::chrono::milliseconds oldWait = env.files.lockWait();
    env.files.setLockWait(request.lockWait);
    const UpgradeOutcome opened = openOrUpgrade(wallet, outcome.path, *password, request.readOnly, request.progress);
    env.files.setLockWait(oldWait);
    if (opened.open == OpenResult::CannotOpen && !request.readOnly)
        outcome.lockHolder = env.files.lockHolder(outcome.path);
    outcome.pass = opened.pass;
    outcome.result = opened.open;
    if (opened.open != OpenResult::Ok || (opened.pass && *opened.pass != ReencryptResult::Done)) {
        if (outcome.result == OpenResult::Ok) outcome.result = OpenResult::OldFormat;
        wallet.close();
        outcome.stage = OpenStage::Open;
        return outcome;
    }
    outcome.stage = OpenStage::Opened;
    return outcome;
}

std::optional<std::string> waitForLock(FileSystem& files, const std::string& path, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::optional<std::string> holder = files.lockHolder(path);
        if (!holder || std::chrono::steady_clock::now() >= deadline) return holder;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::u16string openFailureText(const StringTable& strings, const OpenOutcome& outcome) {
    const std::u16string name = walletDisplayName(outcome.path);
    if (outcome.stage == OpenStage::Open && outcome.lockHolder) {
        if (outcome.lockHolder->empty()) return format(strings.text(lock_text::kHeld), {name});
        return format(strings.text(lock_text::kHeldBy), {name, fromUtf8(*outcome.lockHolder)});
    }
    const auto code = static_cast<std::int64_t>(outcome.result);
    switch (outcome.stage) {
        case OpenStage::Opened:
        case OpenStage::Cancelled:
            return {};
        case OpenStage::Probe:
            return format(u"%s\n%s\n(%02d)", {strings.text(23016), name, code});
        case OpenStage::Open:
            break;
    }
    std::uint32_t id = 23015;
    switch (outcome.result) {
        case OpenResult::NotAWallet:
            id = 23013;
            break;
        case OpenResult::WrongPassword:
            id = 23014;
            break;
        case OpenResult::OutOfMemory:
            id = 23002;
            break;
        case OpenResult::UpgradeDeclined:
            return {};
        default:
            break;
    }
    return format(u"%s\n%s\n(%s:%d)", {strings.text(23016), name, strings.text(id), code});
}

}  // namespace tw::app
