#include "model/FormFields.h"

#include "model/FormatCode.h"

namespace tw {

std::u16string fieldName(const FieldDef& def, const StringTable& strings) {
    return def.nameId == 0 ? def.name : strings.text(def.nameId);
}

std::u16string formName(const Form& form, const StringTable& strings) {
    return form.nameId == 0 ? form.name : strings.text(form.nameId);
}

std::vector<FieldTemplate> fieldTemplates(const Form& form, const StringTable& strings, KindRule rule) {
    std::vector<FieldTemplate> templates;
    templates.reserve(form.fields.size());
    for (const FieldDef& def : form.fields) {
        const std::uint16_t kind = rule == KindRule::NewCard ? kindForNewCard(def.format, def.password)
                                                             : kindForConversion(def.format, def.password);
        templates.push_back(FieldTemplate{kind, fieldName(def, strings)});
    }
    return templates;
}

}  // namespace tw
