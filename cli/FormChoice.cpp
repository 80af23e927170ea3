#include "cli/FormChoice.h"

#include <charconv>
#include <vector>

#include "cli/Command.h"
#include "model/BuiltinForms.h"
#include "model/FormCards.h"
#include "model/FormFields.h"
#include "platform/Text.h"

namespace tw::cli {

FormChoice chooseForm(WalletFile& wallet, std::string_view text) {
    FormChoice choice;
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (!text.empty() && ec == std::errc() && end == text.data() + text.size()) {
        if (const std::optional<std::size_t> index = builtinFormIndex(number)) {
            choice.ref = builtinFormRef(static_cast<std::uint32_t>(*index));
        } else if (number < kBuiltinFormCount) {
            choice.ref = builtinFormRef(number);
        } else {
            choice.error = exit_code::kNotFound;
            choice.message = "no built-in form " + std::string(text) + " (numbers 500-542, or indexes 0-42)";
        }
        return choice;
    }

    const std::u16string wanted = fromUtf8(text);
    std::vector<FormRef> found;
    const std::span<const Form> forms = builtinForms();
    for (std::size_t i = 0; i < forms.size(); ++i)
        if (equalNoCase(formName(forms[i], wallet.env().strings), wanted))
            found.push_back(builtinFormRef(static_cast<std::uint32_t>(i)));
    const WalletIndex& index = wallet.index();
    const std::int64_t formsFolder = index.formsFolder();
    if (formsFolder >= 0) {
        const RecordId folder = index.at(static_cast<std::size_t>(formsFolder)).id();
        for (std::size_t i = 0; i < index.count(); ++i) {
            const IndexEntry& h = index.at(i);
            if (!h.deleted() && h.type() == RecordType::Card && h.parent() == folder &&
                equalNoCase(wallet.nameOf(i), wanted))
                found.push_back(customFormRef(h.id()));
        }
    }
    if (found.empty()) {
        choice.error = exit_code::kNotFound;
        choice.message = "no form named '" + std::string(text) + "' (a name, a number 500-542 or an index 0-42)";
    } else if (found.size() > 1) {
        choice.error = exit_code::kAmbiguous;
        choice.message = std::to_string(found.size()) + " forms are named '" + std::string(text) + "'";
    } else {
        choice.ref = found.front();
    }
    return choice;
}

}  // namespace tw::cli
