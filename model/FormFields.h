#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Form.h"
#include "platform/StringTable.h"

namespace tw {

// String id of the name a card made from a built-in form starts with.
constexpr std::uint32_t kNewCardNameId = 20509;

// Which column of the format-code table decides a field's kind.
enum class KindRule { NewCard, Conversion };

// Kind and name of one field to be made from a form definition.
struct FieldTemplate {
    std::uint16_t kind;
    std::u16string name;
};

// The name of a field definition: its text when the definition carries one (custom forms),
// else the localised string of its name id ("*" with no language file loaded, "?" when missing).
std::u16string fieldName(const FieldDef& def, const StringTable& strings);

// The name of a form, by the same rule.
std::u16string formName(const Form& form, const StringTable& strings);

// One template per field definition, in card order.
std::vector<FieldTemplate> fieldTemplates(const Form& form, const StringTable& strings, KindRule rule);

}  // namespace tw
