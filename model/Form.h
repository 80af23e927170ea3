#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Field format numbers used in form definitions (the custom forms file names them "TMF_...").
// Any other number is allowed and maps like TMF_DEFAULT for new cards.
namespace format_code {
constexpr std::uint32_t kDefault = 0;
constexpr std::uint32_t kUpperAll = 1;
constexpr std::uint32_t kUpperFirst = 2;
constexpr std::uint32_t kUrl = 3;
constexpr std::uint32_t kFive = 5;
constexpr std::uint32_t kDate = 8;
constexpr std::uint32_t kYesNo = 9;
constexpr std::uint32_t kTel = 11;
constexpr std::uint32_t kEmail = 15;
constexpr std::uint32_t kLink = 16;
constexpr std::uint32_t kTime = 17;
constexpr std::uint32_t kDateTime = 18;
}  // namespace format_code

// One field of a form, in card order. Built-in forms name fields by string id (`nameId`, with
// `name` empty); custom forms carry the name as text (up to 63 characters, `nameId` 0).
struct FieldDef {
    std::uint32_t number = 0;  // the tag under which older wallet files stored the field
    std::uint32_t nameId = 0;
    std::u16string name;
    std::uint32_t format = format_code::kDefault;
    bool password = false;
};

// A form: the template a card is made from. Built-in forms are numbered 500-542 and named by
// string id; forms read from a custom forms file are numbered 1000 and above, named by text, and
// hold at most kMaxCustomFields fields.
struct Form {
    static constexpr std::size_t kMaxCustomFields = 60;
    static constexpr std::size_t kMaxNameLength = 63;

    std::uint32_t number = 0;
    std::uint32_t nameId = 0;
    std::u16string name;
    std::int32_t icon = 0;
    std::vector<FieldDef> fields;
};

}  // namespace tw
