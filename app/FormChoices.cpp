#include "app/FormChoices.h"

#include <algorithm>

#include "app/CustomIcons.h"
#include "model/BuiltinForms.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw::app {

FormRef builtinFormRef(std::size_t index) {
    FormRef ref;
    putU32(ref.bytes.data(), 0, static_cast<std::uint32_t>(index));
    return ref;
}

std::vector<FormChoice> formChoices(const WalletFile& wallet, const StringTable& strings, const CustomIcons* custom) {
    std::vector<FormChoice> choices;
    const WalletIndex& index = wallet.index();
    const std::int64_t forms = index.formsFolder();
    static const CustomIcons kNone;
    for (std::size_t i = 0; forms >= 0 && i < index.count(); ++i) {
        const IndexEntry& h = index.at(i);
        if (h.deleted() || h.type() != RecordType::Card || h.parent() != index.at(static_cast<std::size_t>(forms)).id())
            continue;
        FormChoice c;
        c.ref.bytes = h.id().bytes;
        c.name = h.name().substr(0, FormChoice::kMaxName);
        c.iconEntry = iconListEntry(h, custom ? *custom : kNone);
        choices.push_back(std::move(c));
    }
    const auto builtin = builtinForms();
    for (std::size_t i = 0; i < builtin.size(); ++i) {
        FormChoice c;
        c.builtin = true;
        c.builtinIndex = i;
        c.ref = builtinFormRef(i);
        c.name = strings.text(builtin[i].nameId).substr(0, FormChoice::kMaxName);
        c.iconEntry = kFirstBuiltinEntry + builtin[i].icon;
        choices.push_back(std::move(c));
    }
    return choices;
}

std::u16string formName(const WalletFile& wallet, const StringTable& strings, const FormRef& ref) {
    const std::uint32_t first = getU32(ref.bytes.data(), 0);
    if (ref == builtinFormRef(first)) {
        const Form* form = builtinForm(first);
        return form ? strings.text(form->nameId) : std::u16string();
    }
    RecordId id;
    id.bytes = ref.bytes;
    const std::int64_t at = wallet.index().find(id);
    if (at < 0 || wallet.index().at(static_cast<std::size_t>(at)).deleted()) return {};
    return wallet.index().at(static_cast<std::size_t>(at)).name();
}

bool foldedLess(const std::u16string& a, const std::u16string& b) {
    return foldCase(a) < foldCase(b);
}

void sortFormChoices(std::vector<FormChoice>& choices, const NameLess& less) {
    std::stable_sort(choices.begin(), choices.end(),
                     [&](const FormChoice& a, const FormChoice& b) { return less(a.name, b.name); });
}

std::size_t preselectedChoice(const std::vector<FormChoice>& choices, const FormRef& current) {
    const auto it = std::find_if(choices.begin(), choices.end(), [&](const FormChoice& c) { return c.ref == current; });
    return it == choices.end() ? 0 : static_cast<std::size_t>(it - choices.begin());
}

FormChoice confirmedChoice(const std::vector<FormChoice>& choices, std::ptrdiff_t selected) {
    if (choices.empty()) {
        FormChoice first;
        first.builtin = true;
        return first;
    }
    if (selected < 0 || selected >= static_cast<std::ptrdiff_t>(choices.size())) selected = 0;
    return choices[static_cast<std::size_t>(selected)];
}

}  // namespace tw::app
