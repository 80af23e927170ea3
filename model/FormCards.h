#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/BuiltinForms.h"
#include "model/Card.h"
#include "storage/RecordHeader.h"
#include "storage/WalletFile.h"

namespace tw {

// The longest name a copied card keeps before its "*".
constexpr std::size_t kMaxCopyBase = 254;
// Form names are shown cut to this length.
constexpr std::size_t kMaxFormName = 127;

// A FormRef naming built-in form `index`: {u32 index, 12 zero bytes}.
FormRef builtinFormRef(std::uint32_t index);
// A FormRef naming a custom form: the RecordId of its card in the forms folder.
FormRef customFormRef(const RecordId& id);
// True when the reference has the built-in shape (whatever the index).
bool isBuiltinRef(const FormRef& ref);
std::uint32_t builtinIndexOf(const FormRef& ref);
RecordId customFormId(const FormRef& ref);

// The name of a form: a built-in form's localised name, or the name of the custom form's card
// in the forms folder, cut to 127 characters. False when there is no such form.
bool formName(WalletFile& wallet, const FormRef& ref, std::u16string& name);

// A new card, not yet written, in `parent`, made from a form. A built-in form gives a card named
// by string 20509 with the form's icon and one empty field per definition; a custom form gives a
// copy of the form's card named after the form with "*". Null for an unknown form.
std::unique_ptr<Card> newCardFromForm(WalletFile& wallet, const RecordId& parent, const FormRef& ref);

// Copies a card into a folder (or the top level) as a new record named after the source with
// "*". Returns the index position of the copy, or -1 (source not a card, target a card, nothing
// written).
std::int64_t copyCard(WalletFile& wallet, const RecordId& source, const RecordId& targetFolder);

// Saves a copy of a card as a custom form in the forms folder, every value cleared. Returns the
// index position of the form, or -1.
std::int64_t saveCardAsForm(WalletFile& wallet, std::size_t position);

}  // namespace tw
