#include "storage/WalletConversion.h"

#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "model/BodyCodec.h"
#include "model/BuiltinForms.h"
#include "model/Card.h"
#include "model/CustomForms.h"
#include "model/Field.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "model/FormFields.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "storage/BufferedFile.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/OldWallet.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

// Tags of the card data items that belong to no form.
constexpr std::uint32_t kNoteTag = 400;
constexpr std::uint32_t kPictureTag = 450;
constexpr std::uint32_t kPictureTypeTag = 451;
constexpr std::uint32_t kPictureNameTag = 452;
constexpr std::uint32_t kSoundTag = 460;
constexpr std::uint32_t kSoundNameTag = 461;

// Older picture types 1, 2, 3 are this program's picture types 1, 3, 2.
constexpr std::uint32_t kPictureTypes[3] = {Attachment::kPictureBitmap, Attachment::kPictureGif,
                                            Attachment::kPictureJpeg};

std::size_t lastSeparator(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
    return folder + "/" + name;
}

bool loads(CustomForms& forms, FileSystem& files, const std::string& path) {
    const CustomFormsResult r = forms.load(files, path);
    return r == CustomFormsResult::Done || r == CustomFormsResult::SyntaxError;
}

// Loads the custom forms file the old wallet names: beside the program, else in the folder of
// the program that registered older wallets.
bool loadCustomForms(Env& env, const std::u16string& named, const ConversionOptions& options, CustomForms& forms) {
    const std::string path = toUtf8(named);
    const std::string fileName = path.substr(lastSeparator(path));
    if (fileName.empty()) return false;
    if (!options.programFolder.empty() && loads(forms, env.files, joinPath(options.programFolder, fileName)))
        return true;
    if (options.registry == nullptr) return false;
    const std::u16string key = format(u"%s\\DefaultIcon", {kOldWalletClass});
    const std::optional<std::u16string> value = options.registry->readString(RegistryRoot::ClassesRoot, key, u"");
    if (!value) return false;
    std::string icon = toUtf8(*value);
    if (!icon.empty() && icon.front() == '"') icon.erase(0, 1);
    const std::size_t cut = lastSeparator(icon);
    if (cut == 0) return false;
    return loads(forms, env.files, icon.substr(0, cut) + fileName);
}

// A card form with the fields it gives a converted card, looked up once per form number.
struct CardForm {
    const Form* form = nullptr;  // null: no built-in or custom form has the number
    std::vector<FieldTemplate> templates;
};

class CardForms {
public:
    CardForms(Env& env, const CustomForms& custom) : m_env(env), m_custom(custom) {}
    const CardForm& of(std::uint32_t number) {
        const auto found = m_forms.find(number);
        if (found != m_forms.end()) return found->second;
        CardForm& f = m_forms[number];
        f.form = builtinFormByNumber(number);
        if (f.form == nullptr) f.form = m_custom.find(number);
        if (f.form != nullptr) f.templates = fieldTemplates(*f.form, m_env.strings, KindRule::Conversion);
        return f;
    }

private:
    Env& m_env;
    const CustomForms& m_custom;
    std::unordered_map<std::uint32_t, CardForm> m_forms;
};

void setDisplay(const OldCard& old, CardDisplay& display) {
    if ((old.bold & 0x02) != 0) display.setNamesBold(true);
    if ((old.bold & 0x01) != 0) display.setValuesBold(true);
    display.setBackground(old.background);
    display.setNameColour(old.colour);
    display.setValueColour(old.colour);
}

// Fields by the card's form, the note, the picture, the sound and the display words.
void fillCard(Env& env, const OldCard& old, const OldItems& data, CardForms& forms, Card& card) {
    const CardForm& cardForm = forms.of(old.form);
    const Form* form = cardForm.form;
    if (form != nullptr) {
        card.header()->setIconIndex(static_cast<std::int32_t>(old.icon));
        const std::vector<FieldTemplate>& templates = cardForm.templates;
        for (std::size_t i = 0; i < templates.size(); ++i) {
            Field* field = card.newField(templates[i].kind, env.strings);
            if (field == nullptr) break;
            field->setName(templates[i].name);
            if (const auto item = data.find(form->fields[i].number)) {
                std::u16string value = oldItemText(*item);
                field->setValue(value);
                wipe(value.data(), value.size() * sizeof(char16_t));
            }
        }
        if (const auto item = data.find(kNoteTag)) {
            std::u16string note = oldItemText(*item);
            Field* field = note.empty() ? nullptr : card.newField(field_kind::kText, env.strings);
            if (field != nullptr) {
                field->setName(env.strings.text(kConvertedNoteNameId));
                field->setValue(note);
                field->setStyle(Field::kNoteStyle);
            }
            wipe(note.data(), note.size() * sizeof(char16_t));
        }
    }
    if (old.picture != 0) {
        const auto type = data.find(kPictureTypeTag);
        const std::uint32_t t = type && type->size() >= 4 ? getU32(type->data(), 0) : 0;
        const auto picture = data.find(kPictureTag);
        if (t >= 1 && t <= 3 && picture) {
            const auto name = data.find(kPictureNameTag);
            if (card.picture().set(*picture, name ? oldItemText(*name) : std::u16string()))
                card.picture().setType(kPictureTypes[t - 1]);
        }
    }
    if ((old.sound & 0x01) != 0) {
        if (const auto sound = data.find(kSoundTag)) {
            const auto name = data.find(kSoundNameTag);
            card.sound().set(*sound, name ? oldItemText(*name) : std::u16string());
        }
    }
    setDisplay(old, card.display());
}

// The body of a card of a known form with no picture and no sound, written straight from the
// older data: the same bytes Card::serializeBody gives for the card fillCard makes. The fixed
// parts of each field (sub-record head, descriptor, enciphered name, list) are made once per form
// through the card model; a card adds its values and their sizes.
class FormBodies {
public:
    FormBodies(Env& env, const KeyRecord& key) : m_env(env), m_key(key) {}
    ~FormBodies() {
        for (auto& [number, body] : m_bodies)
            for (Part& p : body.parts) wipe(p.head.data(), p.head.size());
    }

    // False when the form's fixed parts could not be made; the caller then takes the card model.
    bool write(const CardForm& form, const OldCard& old, const OldItems& data, const CardDisplay& display,
               std::vector<std::uint8_t>* out) {
        const Body* body = of(form, old.form);
        if (body == nullptr) return false;
        out->resize(CardDisplay::kSize);
        display.write(out->data());
        const std::size_t fields = body->parts.size() - (body->note ? 1 : 0);
        for (std::size_t i = 0; i < fields; ++i) {
            const auto item = data.find(form.form->fields[i].number);
            if (!put(body->parts[i], item ? textBytes(*item) : std::span<const std::uint8_t>(), out)) return false;
        }
        if (body->note) {
            const auto note = data.find(kNoteTag);
            const std::span<const std::uint8_t> text = note ? textBytes(*note) : std::span<const std::uint8_t>();
            if (!text.empty() && !put(body->parts.back(), text, out)) return false;
        }
        return true;
    }

private:
    struct Part {
        std::vector<std::uint8_t> head;  // sub-record head, descriptor and enciphered name
        std::vector<std::uint8_t> tail;  // the enciphered list
    };
    struct Body {
        bool made = false;
        bool ok = false;
        bool note = false;  // the last part is the note's
        std::vector<Part> parts;
    };

    // An item's text as stored: UTF-16LE up to its first NUL, whole units only.
    static std::span<const std::uint8_t> textBytes(std::span<const std::uint8_t> item) {
        std::size_t n = 0;
        while (n + 1 < item.size() && (item[n] | item[n + 1]) != 0) n += 2;
        return item.first(n);
    }

    bool put(const Part& part, std::span<const std::uint8_t> value, std::vector<std::uint8_t>* out) {
        const std::size_t stored = body::paddedTextSize(value.size());
        const std::size_t at = out->size();
        out->insert(out->end(), part.head.begin(), part.head.end());
        std::uint8_t* head = out->data() + at;
        std::uint8_t* d = head + Card::kSubRecordHead;
        putU32(head, 8, getU32(head, 8) + static_cast<std::uint32_t>(stored));
        putU32(d, Field::kValueStored, static_cast<std::uint32_t>(stored));
        putU32(d, Field::kValuePadding, static_cast<std::uint32_t>(stored - value.size()));
        putU32(d, Field::kPayloadAfter, getU32(d, Field::kPayloadAfter) + static_cast<std::uint32_t>(stored));
        if (!body::appendEnciphered(*out, value.data(), value.size(), stored, m_key)) return false;
        out->insert(out->end(), part.tail.begin(), part.tail.end());
        return true;
    }

    const Body* of(const CardForm& form, std::uint32_t number) {
        Body& b = m_bodies[number];
        if (!b.made) {
            b.made = true;
            b.ok = make(form, b);
        }
        return b.ok ? &b : nullptr;
    }

    // The form's card with every value empty, through the card model, cut into its parts.
    bool make(const CardForm& form, Body& b) {
        Card card;
        for (const FieldTemplate& t : form.templates) {
            Field* field = card.newField(t.kind, m_env.strings);
            if (field == nullptr) break;
            field->setName(t.name);
        }
        if (Field* field = card.newField(field_kind::kText, m_env.strings)) {
            field->setName(m_env.strings.text(kConvertedNoteNameId));
            field->setStyle(Field::kNoteStyle);
            b.note = true;
        }
        std::vector<std::uint8_t> bytes;
        if (!card.serializeBody(m_key, &bytes)) return false;
        for (std::size_t at = CardDisplay::kSize; at < bytes.size();) {
            if (bytes.size() - at < Card::kSubRecordHead + Field::kDescriptorSize) return false;
            const std::uint8_t* d = bytes.data() + at + Card::kSubRecordHead;
            const std::size_t length = getU32(bytes.data(), at + 8);
            const std::size_t split = Card::kSubRecordHead + Field::kDescriptorSize + getU32(d, Field::kNameStored);
            if (getU32(d, Field::kValueStored) != 0 || split > Card::kSubRecordHead + length ||
                Card::kSubRecordHead + length > bytes.size() - at)
                return false;
            Part p;
            p.head.assign(bytes.begin() + at, bytes.begin() + at + split);
            p.tail.assign(bytes.begin() + at + split, bytes.begin() + at + Card::kSubRecordHead + length);
            b.parts.push_back(std::move(p));
            at += Card::kSubRecordHead + length;
        }
        wipe(bytes.data(), bytes.size());
        return b.parts.size() == card.fieldCount();
    }

    Env& m_env;
    const KeyRecord& m_key;
    std::unordered_map<std::uint32_t, Body> m_bodies;
};

// The new wallet's records, gathered and written at the end of its file in large blocks: the
// wallet is a temporary file that stands in for nothing until it is complete and synced, so its
// records need not reach the disk one by one. Each record is stored as an append stores it.
class RecordWriter {
public:
    static constexpr std::size_t kBlock = 1024 * 1024;

    RecordWriter(File& file, Clock& clock) : m_file(file), m_out(file, kBlock, Wipe::Yes), m_clock(clock) {}

    // Moves the file to its end, where the records go; before the first add().
    bool start() {
        std::uint64_t size = 0;
        return m_file.size(&size) && m_file.seekTo(size);
    }
    bool add(RecordHeader h, const std::vector<std::uint8_t>* body) {
        h.setBodyLength(body ? static_cast<std::uint32_t>(body->size()) : 0);
        h.setWord(RecordHeader::kTail, 0);
        const std::vector<std::uint8_t> bytes = recordBytes(h, m_clock.localTime());
        if (bytes.empty() || m_out.put(bytes.data(), bytes.size()) != FileResult::Done) return false;
        return !body || body->empty() || m_out.put(body->data(), body->size()) == FileResult::Done;
    }
    bool finish() { return m_out.finish() == FileResult::Done; }

private:
    File& m_file;
    BufferedWriter m_out;
    Clock& m_clock;
};

ConvertResult convertRecords(Env& env, OldWallet& old, const CustomForms& custom, const std::vector<OldFolder>& folders,
                             const std::vector<OldCard>& allCards, WalletFile& wallet) {
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> byFolder;
    for (std::size_t i = 0; i < allCards.size(); ++i) byFolder[allCards[i].folder].push_back(i);
    const std::vector<std::size_t> none;
    RecordWriter out(*wallet.file(), env.clock);
    if (!out.start()) return ConvertResult::CannotCreate;
    CardForms forms(env, custom);
    FormBodies bodies(env, wallet.recordKey());
    std::vector<std::uint8_t> data;
    OldItems items;  // the items of `data`
    std::vector<std::uint8_t> body;
    for (const OldFolder& f : folders) {
        RecordHeader folder = wallet.newFolder(RecordId{}, false);
        folder.putName(f.name, wallet.recordKey());
        folder.setIconIndex(static_cast<std::int32_t>(f.icon));
        folder.setFormRef(builtinFormRef(static_cast<std::uint32_t>(builtinFormIndex(f.defaultForm).value_or(0))));
        if (!out.add(folder, nullptr)) return ConvertResult::CannotCreate;

        const auto found = byFolder.find(f.id);
        for (std::size_t i : found != byFolder.end() ? found->second : none) {
            const OldCard& c = allCards[i];
            std::unique_ptr<Card> card = wallet.newCard(folder.id());
            card->header()->putName(c.name, wallet.recordKey());
            // A card whose data cannot be read keeps its name alone.
            const bool read = old.readCardData(c, &data);
            items.index(read ? std::span<const std::uint8_t>(data) : std::span<const std::uint8_t>());
            body.clear();
            bool made = false;
            const CardForm& form = forms.of(c.form);
            if (read && form.form != nullptr && c.picture == 0 && (c.sound & 0x01) == 0) {
                card->header()->setIconIndex(static_cast<std::int32_t>(c.icon));
                setDisplay(c, card->display());
                made = bodies.write(form, c, items, card->display(), &body);
                if (!made) {
                    wipe(body.data(), body.size());
                    body.clear();
                }
            }
            if (!made) {
                if (read) fillCard(env, c, items, forms, *card);
                made = card->serializeBody(wallet.recordKey(), &body);
            }
            wipe(data.data(), data.size());
            const bool added = made && out.add(*card->header(), &body);
            wipe(body.data(), body.size());
            if (!added) return ConvertResult::CannotCreate;
        }
    }
    return out.finish() ? ConvertResult::Ok : ConvertResult::CannotCreate;
}

ConvertResult convert(Env& env, const std::string& oldPath, std::u16string_view password,
                      const ConversionOptions& options, std::string* newPath) {
    OldWallet old(env.files);
    switch (old.open(oldPath, password)) {
        case OldOpenResult::Ok:
            break;
        case OldOpenResult::CannotOpen:
            return ConvertResult::CannotOpen;
        case OldOpenResult::NotOldWallet:
            return ConvertResult::NotOldWallet;
        case OldOpenResult::WrongPassword:
            return ConvertResult::WrongPassword;
        default:
            return ConvertResult::ReadFailed;
    }
    CustomForms custom;
    if (!old.customFormsFile().empty() && !loadCustomForms(env, old.customFormsFile(), options, custom))
        return ConvertResult::NoCustomForms;

    *newPath = options.newPath.empty() ? withExtension(oldPath, ".tm5") : options.newPath;
    if (env.files.exists(*newPath)) return ConvertResult::Exists;
    // Checked before anything is created, so that nothing is left behind for a wallet without
    // folders.
    // One walk for the folders and the cards of every folder.
    std::vector<OldFolder> folders;
    std::vector<OldCard> cards;
    if (!old.readRecords(&folders, &cards)) return ConvertResult::ReadFailed;
    if (folders.empty()) return ConvertResult::NoFolder;

    const std::string temp = *newPath + ".~conv";
    env.files.remove(temp);
    if (createWallet(env, temp, password, std::nullopt, false) != CreateResult::Ok) return ConvertResult::CannotCreate;
    ConvertResult result = ConvertResult::CannotCreate;
    {
        // The new records' ids are drawn a block at a time; the wallet's keys are made above.
        BufferedRandom ids(env.random);
        Env idEnv{env.files, env.clock, ids, env.strings, env.prompt, env.system};
        WalletFile wallet(idEnv);
        if (wallet.readAll(temp, password, false) == OpenResult::Ok) {
            result = convertRecords(env, old, custom, folders, cards, wallet);
            if (result == ConvertResult::Ok && (wallet.flush() != 0 || !wallet.file()->flush()))
                result = ConvertResult::CannotCreate;
        }
        wallet.close();
    }
    old.close();
    if (result == ConvertResult::Ok && env.files.exists(*newPath)) result = ConvertResult::Exists;
    if (result == ConvertResult::Ok && !env.files.rename(temp, *newPath)) result = ConvertResult::CannotCreate;
    if (result != ConvertResult::Ok) env.files.remove(temp);
    return result;
}

}  // namespace

std::string withExtension(const std::string& path, std::string_view extension) {
    const std::size_t nameAt = lastSeparator(path);
    const std::size_t dot = path.rfind('.');
    const std::string base = dot != std::string::npos && dot >= nameAt ? path.substr(0, dot) : path;
    return base + std::string(extension);
}

ConvertResult convertOldWallet(Env& env, const std::string& oldPath, std::optional<std::u16string_view> password,
                               const ConversionOptions& options, std::string* newPath) {
    if (oldPath.empty() || !password || newPath == nullptr) return ConvertResult::MissingArgument;
    newPath->clear();
    try {
        return convert(env, oldPath, *password, options, newPath);
    } catch (const std::bad_alloc&) {
        if (!newPath->empty()) env.files.remove(*newPath + ".~conv");
        return ConvertResult::OutOfMemory;
    }
}

}  // namespace tw
