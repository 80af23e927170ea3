#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Env.h"

namespace tw {

enum class CreateResult : int {
    Ok = 0,
    BadPath = 1,
    NoPassword = 2,
    BadPasswordLength = 3,  // shorter than 3 or longer than 23 code units
    Exists = 4,
    CannotCreate = 5,
    HeaderWriteFailed = 6,
    KeyWriteFailed = 7,
    SettingsWriteFailed = 8,
    KeySetupFailed = 9,
    PasswordNotText = 10,  // a surrogate without its other half: no text a user can type again
};

constexpr std::size_t kMaxPassword = 23;

// Creates a new wallet file with its password and hint: the three blocks, optionally a first
// folder, and the forms folder, named from the string table. The file is closed again. A
// refusal leaves no file behind and never touches an existing one; a failed write removes the
// half-written new file.
CreateResult createWallet(Env& env, const std::string& path, std::optional<std::u16string_view> password,
                          std::optional<std::u16string_view> hint, bool firstFolder);

// String ids the new wallet takes its names from.
namespace create_text {
constexpr std::uint32_t kFavourites = 20200;
constexpr std::uint32_t kSearchResults = 20201;
constexpr std::uint32_t kThirdEntry = 20202;
constexpr std::uint32_t kFormsFolder = 20203;
constexpr std::uint32_t kFirstFolder = 20510;
}  // namespace create_text

}  // namespace tw
