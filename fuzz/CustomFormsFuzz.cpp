// Feeds arbitrary bytes to the custom forms reader as a file, and checks what it keeps.
#include <cstddef>
#include <cstdint>

#include "model/CustomForms.h"
#include "platform/MemoryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::MemoryFileSystem files;
    files.setBytes("forms.tcd", std::vector<std::uint8_t>(data, data + size));
    tw::CustomForms forms;
    const tw::CustomFormsResult result = forms.load(files, "forms.tcd");
    if (static_cast<int>(result) < 0 || static_cast<int>(result) > 3) __builtin_trap();
    if (result == tw::CustomFormsResult::Unreadable && size != 0) __builtin_trap();

    for (const tw::Form& form : forms.forms()) {
        if (form.number < 1000 || form.fields.empty() || form.fields.size() > tw::CustomForms::kMaxFields)
            __builtin_trap();
        if (form.name.empty() || form.name.size() > tw::Form::kMaxNameLength) __builtin_trap();
        if (form.icon < 0 || form.icon > 99) __builtin_trap();
        for (const tw::FieldDef& field : form.fields)
            if (field.name.empty() || field.name.size() > tw::Form::kMaxNameLength) __builtin_trap();
        if (forms.find(form.number) == nullptr) __builtin_trap();
    }
    return 0;
}
