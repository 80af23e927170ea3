#include "storage/Keys.h"

#include "storage/Bytes.h"

namespace tw {
namespace {

// The two stored pieces of the check phrase (7 and 21 code units).
constexpr std::u16string_view kCheckHead = u"HGTM-6:";
constexpr std::u16string_view kCheckTail = u"key check phrase 2006";
static_assert(kCheckHead.size() == 7 && kCheckTail.size() == 21);

}  // namespace

const std::u16string_view kFallbackPassPhrase = u"LanternMossEv";

std::u16string checkPhrase() {
    std::u16string phrase;
    phrase.reserve(28);
    phrase.append(kCheckHead);
    phrase.append(kCheckTail);
    return phrase;
}

Key16 makeFileKey(const SystemTime& t) {
    const std::uint8_t seed[8] = {
        static_cast<std::uint8_t>(t.day + 10),
        static_cast<std::uint8_t>(t.second + t.day),
        static_cast<std::uint8_t>(t.dayOfWeek + t.second),
        static_cast<std::uint8_t>(t.minute + t.second),
        static_cast<std::uint8_t>(t.year & 0xFF),
        static_cast<std::uint8_t>(t.month - t.day + 17),
        static_cast<std::uint8_t>(t.minute + t.dayOfWeek),
        static_cast<std::uint8_t>(t.second + 111),
    };
    return md5(seed, sizeof seed);
}

bool passwordTakesPart(const std::optional<std::u16string_view>& password) {
    return password && password->size() >= kMinPassword && password->size() <= kMaxKeyPassword;
}

Key16 makeRecordKey(const std::optional<std::u16string_view>& password, const KeyRecord& fileKey) {
    const std::u16string_view text = passwordTakesPart(password) ? *password : kFallbackPassPhrase;
    std::string bytes = toBytes16(text);
    Key16 digest = md5(bytes.data(), bytes.size());
    wipe(bytes.data(), bytes.size());
    Key16 key = digest;
    fileKey.encipher(digest.data(), digest.size(), key.data());
    wipe(digest.data(), digest.size());
    return key;
}

Key16 makeCheckValue(const Key16& recordKey) {
    std::u16string phrase = checkPhrase();
    std::string bytes = toBytes16(phrase);
    Key16 digest = md5(bytes.data(), bytes.size());
    wipe(bytes.data(), bytes.size());
    KeyRecord key;
    key.set(recordKey.data());
    Key16 check = digest;
    key.encipher(digest.data(), digest.size(), check.data());
    return check;
}

}  // namespace tw
