#include "model/FormCards.h"

#include "model/BuiltinForms.h"
#include "model/FormFields.h"
#include "storage/Bytes.h"

namespace tw {

FormRef builtinFormRef(std::uint32_t index) {
    FormRef ref;
    putU32(ref.bytes.data(), 0, index);
    return ref;
}

FormRef customFormRef(const RecordId& id) {
    FormRef ref;
    ref.bytes = id.bytes;
    return ref;
}

bool isBuiltinRef(const FormRef& ref) {
    return allZero(ref.bytes.data() + 4, 12);
}
std::uint32_t builtinIndexOf(const FormRef& ref) {
    return getU32(ref.bytes.data(), 0);
}

RecordId customFormId(const FormRef& ref) {
    RecordId id;
    id.bytes = ref.bytes;
    return id;
}

namespace {

std::u16string starred(std::u16string name) {
    if (name.size() > kMaxCopyBase) name.resize(kMaxCopyBase);
    name.push_back(u'*');
    return name;
}

// The index position of the custom form's card: a live card whose parent is the forms folder.
std::int64_t customFormPosition(const WalletFile& wallet, const FormRef& ref) {
    const WalletIndex& index = wallet.index();
    const std::int64_t forms = index.formsFolder();
    if (forms < 0) return -1;
    const std::int64_t at = index.find(customFormId(ref));
    if (at < 0) return -1;
    const IndexEntry& h = index.at(static_cast<std::size_t>(at));
    if (h.deleted() || h.type() != RecordType::Card || h.parent() != index.at(static_cast<std::size_t>(forms)).id())
        return -1;
    return at;
}

}  // namespace

bool formName(WalletFile& wallet, const FormRef& ref, std::u16string& name) {
    if (isBuiltinRef(ref)) {
        const Form* form = builtinForm(builtinIndexOf(ref));
        if (form == nullptr) return false;
        name = wallet.env().strings.text(form->nameId);
    } else {
        const std::int64_t at = customFormPosition(wallet, ref);
        if (at < 0) return false;
        name = wallet.nameOf(static_cast<std::size_t>(at));
    }
    if (name.size() > kMaxFormName) name.resize(kMaxFormName);
    return true;
}

std::unique_ptr<Card> newCardFromForm(WalletFile& wallet, const RecordId& parent, const FormRef& ref) {
    Env& env = wallet.env();
    const KeyRecord& key = wallet.recordKey();
    if (!isBuiltinRef(ref)) {
        const std::int64_t at = customFormPosition(wallet, ref);
        if (at < 0) return nullptr;
        std::unique_ptr<Card> form = wallet.loadCard(customFormId(ref));
        if (!form) return nullptr;
        // A fresh header: new identity and times; the form's icon; made from this form.
        const SystemTime now = env.clock.localTime();
        RecordHeader h = RecordHeader::create(RecordType::Card, recordIds().next(env.random, now), parent, now);
        const RecordHeader& source = *form->header();
        if (source.iconIndex() == RecordHeader::kCustomIcon) {
            h.setCustomIcon(source.customIcon());
        } else {
            h.setIconIndex(source.iconIndex());
        }
        h.setFormRef(ref);
        h.putName(starred(source.name(key)), key);
        form->setHeader(std::move(h));
        form->setModified(true);
        return form;
    }
    const Form* form = builtinForm(builtinIndexOf(ref));
    if (form == nullptr) return nullptr;
    std::unique_ptr<Card> card = wallet.newCard(parent);
    RecordHeader& h = *card->header();
    h.putName(env.strings.text(kNewCardNameId), key);
    h.setIconIndex(form->icon);
    h.setFormRef(ref);
    for (const FieldTemplate& t : fieldTemplates(*form, env.strings, KindRule::NewCard)) {
        Field* field = card->newField(t.kind, env.strings);
        if (field == nullptr) return nullptr;
        field->setName(t.name);
    }
    return card;
}

std::int64_t copyCard(WalletFile& wallet, const RecordId& source, const RecordId& targetFolder) {
    const WalletIndex& index = wallet.index();
    const std::int64_t from = index.find(source);
    if (from < 0 || index.at(static_cast<std::size_t>(from)).type() != RecordType::Card) return -1;
    if (!targetFolder.isZero()) {
        const std::int64_t to = index.find(targetFolder);
        if (to < 0 || index.at(static_cast<std::size_t>(to)).type() == RecordType::Card ||
            index.at(static_cast<std::size_t>(to)).deleted())
            return -1;
    }
    std::unique_ptr<Card> card = wallet.loadCard(source);
    if (!card) return -1;
    Env& env = wallet.env();
    const SystemTime now = env.clock.localTime();
    RecordHeader& h = *card->header();
    const std::u16string name = starred(h.name(wallet.recordKey()));
    h.setId(recordIds().next(env.random, now));
    h.setType(RecordType::Card);
    h.setParent(targetFolder);
    h.setCreated(now);
    h.markChange(change::kCreated, now);
    h.putName(name, wallet.recordKey());
    return wallet.appendCard(*card);
}

std::int64_t saveCardAsForm(WalletFile& wallet, std::size_t position) {
    WalletIndex& index = wallet.index();
    const std::int64_t forms = index.formsFolder();
    if (forms < 0 || position >= index.count() || index.at(position).type() != RecordType::Card) return -1;
    std::unique_ptr<Card> card = wallet.loadCard(index.at(position).id());
    if (!card) return -1;
    Env& env = wallet.env();
    const SystemTime now = env.clock.localTime();
    RecordHeader& h = *card->header();
    h.setId(recordIds().next(env.random, now));
    h.setParent(index.at(static_cast<std::size_t>(forms)).id());
    h.setCreated(now);
    h.markChange(change::kCreated, now);
    for (std::size_t i = 0; i < card->fieldCount(); ++i) card->field(i).setValue(u"");
    return wallet.appendCard(*card);
}

}  // namespace tw
