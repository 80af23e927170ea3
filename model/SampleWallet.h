#pragma once

#include <string>
#include <string_view>

#include "platform/Env.h"

namespace tw {

// The sample wallet that ships with the program, so that a new user can look around:
//
//   Personal/          Passport (built-in form, two dates, a picture), City Gym (made from the
//                      wallet's own form "Club Membership": one field of every kind 1-16, a note,
//                      a sound)
//   Banking/           Everyday Visa (credit card, a note; the one favourite), Savings Account
//                      (bank account); the folder presets the credit card form
//   Internet/          Home Mail (e-mail account), Home Wi-Fi (wireless network)
//   Internet/Shopping/ Book Shop (web login, a file attachment), Family Logins (five logins
//                      under the same three field names)
//   My Forms/          Club Membership (a custom form)
//
// Its password is kSampleWalletPassword; its hint says so.
inline constexpr std::u16string_view kSampleWalletPassword = u"tallowmere";
inline constexpr std::string_view kSampleWalletFileName = "My Sample Wallet.tm5";

// Writes the sample wallet at `path`, which must not exist yet. Names of the built-in forms'
// fields and of the wallet's special entries and forms folder come from `env.strings`; every
// other name and value is the sample's own (English). Record identifiers and times come from
// `env.random` and `env.clock`, so fixed ones give the same bytes each time. True when the
// whole wallet was written; on failure the file is removed again.
bool buildSampleWallet(Env& env, const std::string& path);

}  // namespace tw
