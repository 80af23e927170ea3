#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/Form.h"

namespace tw {

// The 43 forms compiled into the program. A card made from one refers to it by its index
// (FormRef {index, 0, 0, 0}); older wallet files refer to it by its form number. Indexes and
// numbers are part of the file formats and never change:
//
//   index  number        index  number        index  number        index  number
//   0-9    500-509       11     512           22     523           25     525
//   10     510           12-21  513-522       23     524           26-39  527-540
//   40     511           24     526           41     541           42     542
//
// Form names are string ids 39000-39043 (39041 is unused). Field names are string ids
// 30004-35020: 30004-30028 name fields that many forms share (web site, e-mail, user name,
// password, address, ...); the other ids belong to the form in whose block they lie (block
// 31000 + 1000 * (index / 10) + 100 * (index % 10)), and later forms reuse an id wherever they
// mean the same thing. 30000-30003 are left free: 30002 is the editor's card-name caption.
//
// Field numbers (the tags under which older wallet files stored each field's value): the field
// in position j has number form number + 1 + j, except in form 2 (bank account), whose fields
// carry the numbers of builtinForm2FieldNumbers() in card order.
constexpr std::size_t kBuiltinFormCount = 43;

// All built-in forms, by index. The table is built on first use and lives as long as the program.
std::span<const Form> builtinForms();

// The form with that index, or null for an index of 43 or more.
const Form* builtinForm(std::size_t index);

// The index of the form with that number (500-542), or none.
std::optional<std::size_t> builtinFormIndex(std::uint32_t formNumber);

// The form with that number, or null.
const Form* builtinFormByNumber(std::uint32_t formNumber);

// The field numbers of form 2 in card order (20 entries).
std::span<const std::uint32_t> builtinForm2FieldNumbers();

}  // namespace tw
