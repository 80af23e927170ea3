#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "storage/KeyRecord.h"
#include "storage/Md5.h"

namespace tw {

using Key16 = std::array<std::uint8_t, 16>;

// Passwords of this length take part in keys; others fall back to the fixed pass phrase.
constexpr std::size_t kMinPassword = 3;
constexpr std::size_t kMaxKeyPassword = 24;

// The pass phrase used in place of a password that is missing, too short or too long.
extern const std::u16string_view kFallbackPassPhrase;

// The 28-code-unit check phrase, assembled at run time from its two stored pieces. Every
// wallet's check value depends on it: changing it locks users out of their wallets.
std::u16string checkPhrase();

// The file key: MD5 of eight seed bytes taken from the key block's creation time.
Key16 makeFileKey(const SystemTime& created);

// The record key for a password: MD5 of the password's UTF-16LE bytes (or of the fallback pass
// phrase), enciphered under the file key.
Key16 makeRecordKey(const std::optional<std::u16string_view>& password, const KeyRecord& fileKey);

// True when the password is used as given (3 to 24 code units), false when the fallback applies.
bool passwordTakesPart(const std::optional<std::u16string_view>& password);

// The check value: MD5 of the check phrase, enciphered under the record key.
Key16 makeCheckValue(const Key16& recordKey);

}  // namespace tw
