#include "model/SampleWallet.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Card.h"
#include "model/CardNote.h"
#include "model/DatePattern.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::u16string_view kHint = u"The program's first name, in lower case";

SystemTime at(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour = 0,
              std::uint16_t minute = 0) {
    const auto weekday = static_cast<std::uint16_t>(weekdayOf(year, month, day));
    return SystemTime{year, month, weekday, day, hour, minute, 0, 0};
}

// A 16 x 16 picture, 24 bits a pixel: a sunset of bands from orange to purple.
std::vector<std::uint8_t> samplePicture() {
    constexpr std::uint32_t kSide = 16, kRow = kSide * 3, kPixels = kRow * kSide, kOffset = 14 + 40;
    std::vector<std::uint8_t> bmp(kOffset + kPixels);
    bmp[0] = 'B';
    bmp[1] = 'M';
    putU32(bmp.data(), 2, static_cast<std::uint32_t>(bmp.size()));
    putU32(bmp.data(), 10, kOffset);
    putU32(bmp.data(), 14, 40);
    putU32(bmp.data(), 18, kSide);
    putU32(bmp.data(), 22, kSide);
    putU16(bmp.data(), 26, 1);
    putU16(bmp.data(), 28, 24);
    putU32(bmp.data(), 34, kPixels);
    for (std::uint32_t y = 0; y < kSide; ++y)
        for (std::uint32_t x = 0; x < kSide; ++x) {
            std::uint8_t* pixel = bmp.data() + kOffset + y * kRow + x * 3;  // blue, green, red
            pixel[0] = static_cast<std::uint8_t>(40 + y * 12);
            pixel[1] = static_cast<std::uint8_t>(160 - y * 9);
            pixel[2] = static_cast<std::uint8_t>(250 - y * 4);
        }
    return bmp;
}

// A short beep: 8 kHz, 8 bits, mono, a tenth of a second of a 500 Hz square wave.
std::vector<std::uint8_t> sampleSound() {
    constexpr std::uint32_t kRate = 8000, kSamples = 800;
    std::vector<std::uint8_t> wav(44 + kSamples);
    auto tag = [&](std::size_t offset, const char* text) {
        for (int i = 0; i < 4; ++i) wav[offset + i] = static_cast<std::uint8_t>(text[i]);
    };
    tag(0, "RIFF");
    putU32(wav.data(), 4, static_cast<std::uint32_t>(wav.size() - 8));
    tag(8, "WAVE");
    tag(12, "fmt ");
    putU32(wav.data(), 16, 16);
    putU16(wav.data(), 20, 1);  // PCM
    putU16(wav.data(), 22, 1);  // mono
    putU32(wav.data(), 24, kRate);
    putU32(wav.data(), 28, kRate);
    putU16(wav.data(), 32, 1);
    putU16(wav.data(), 34, 8);
    tag(36, "data");
    putU32(wav.data(), 40, kSamples);
    for (std::uint32_t i = 0; i < kSamples; ++i) wav[44 + i] = (i / 8) % 2 ? 0xB0 : 0x50;
    return wav;
}

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

class Builder {
public:
    Builder(Env& env, WalletFile& wallet) : m_env(env), m_wallet(wallet) {}

    // A folder; a zero parent puts it at the top level.
    RecordId folder(const RecordId& parent, std::u16string_view name, std::int32_t icon,
                    const FormRef* preset = nullptr) {
        RecordHeader h = m_wallet.newFolder(parent, false);
        h.putName(name, m_wallet.recordKey());
        h.setIconIndex(icon);
        if (preset != nullptr) h.setFormRef(*preset);
        if (m_wallet.appendFolder(h) < 0) m_ok = false;
        return h.id();
    }

    // A card from a form, named; null when the form is unknown.
    std::unique_ptr<Card> card(const RecordId& parent, const FormRef& form, std::u16string_view name) {
        std::unique_ptr<Card> c = newCardFromForm(m_wallet, parent, form);
        if (!c) {
            m_ok = false;
            return nullptr;
        }
        c->header()->putName(name, m_wallet.recordKey());
        return c;
    }

    // Values by field position; texts for text kinds, dates for the date kinds.
    void text(Card& c, std::size_t index, std::u16string_view value) {
        if (index < c.fieldCount())
            c.field(index).setValue(value);
        else
            m_ok = false;
    }
    void date(Card& c, std::size_t index, const SystemTime& when) {
        if (index >= c.fieldCount() || !c.field(index).setDate(when)) m_ok = false;
    }
    void note(Card& c, std::u16string_view value) {
        if (!setNote(c, value, m_env.strings)) m_ok = false;
    }

    RecordId write(Card& c) {
        const std::int64_t position = m_wallet.appendCard(c);
        if (position < 0) m_ok = false;
        return c.header()->id();
    }

    bool ok() const { return m_ok; }

private:
    Env& m_env;
    WalletFile& m_wallet;
    bool m_ok = true;
};

// The wallet's own form, with one field of every kind the editor knows and of the two it does
// not offer (plain text, number).
RecordId clubForm(Builder& b, WalletFile& wallet, Env& env, const RecordId& formsFolder) {
    std::unique_ptr<Card> form = wallet.newCard(formsFolder);
    form->header()->putName(u"Club Membership", wallet.recordKey());
    form->header()->setIconIndex(29);
    struct Def {
        std::uint16_t kind;
        std::u16string_view name;
    };
    static constexpr Def kFields[] = {
        {field_kind::kText, u"Member name"},
        {field_kind::kPlainText, u"Membership number"},
        {field_kind::kWebAddress, u"Web site"},
        {field_kind::kLink, u"Front desk"},
        {field_kind::kEmail, u"E-mail"},
        {field_kind::kTelephone, u"Telephone"},
        {field_kind::kPassword, u"Door code"},
        {field_kind::kDate, u"Member since"},
        {field_kind::kTime, u"Class starts"},
        {field_kind::kDateTime, u"Next appointment"},
        {field_kind::kYesNoList, u"Locker included"},
        {field_kind::kSelectionList, u"Level"},
        {field_kind::kCheckBox, u"Renews itself"},
        {field_kind::kNumber, u"Monthly fee"},
        {field_kind::kFirstCapital, u"Trainer"},
        {field_kind::kWordCapitals, u"Club address"},
    };
    for (const Def& def : kFields) {
        Field* field = form->newField(def.kind, env.strings);
        if (field == nullptr) return {};
        field->setName(def.name);
        if (def.kind == field_kind::kSelectionList) field->setListFromJoined(u"Bronze^Silver^Gold^Platinum");
    }
    return b.write(*form);
}

bool fill(Env& env, WalletFile& wallet) {
    Builder b(env, wallet);
    const WalletIndex& index = wallet.index();
    RecordId personal, formsFolder;
    for (std::size_t i = 0; i < index.count(); ++i) {
        if (index.at(i).type() == RecordType::Folder) personal = index.at(i).id();
        if (index.at(i).type() == RecordType::FormsFolder) formsFolder = index.at(i).id();
    }
    wallet.rename(static_cast<std::size_t>(index.find(personal)), u"Personal");
    const FormRef creditCard = builtinFormRef(0);
    const RecordId banking = b.folder({}, u"Banking", 44, &creditCard);
    const RecordId internet = b.folder({}, u"Internet", 69);
    const RecordId shopping = b.folder(internet, u"Shopping", 72);

    // Banking
    RecordId visaId;
    if (auto visa = b.card(banking, creditCard, u"Everyday Visa")) {
        b.text(*visa, 0, u"4111 1111 1111 1111");
        b.text(*visa, 1, u"09/29");
        b.text(*visa, 2, u"4821");
        b.text(*visa, 3, u"Alex Sample");
        b.text(*visa, 5, u"737");
        b.text(*visa, 6, u"Northbank");
        b.text(*visa, 9, u"+1 555 0100");
        b.text(*visa, 10, u"+1 555 0199");
        b.note(*visa,
               u"Travel insurance is included when the trip is paid with this card.\r\n"
               u"Call the bank before travelling abroad.");
        visaId = b.write(*visa);
    }
    if (auto savings = b.card(banking, builtinFormRef(2), u"Savings Account")) {
        b.text(*savings, 0, u"0042 7731 90");
        b.text(*savings, 1, u"Savings");
        b.text(*savings, 2, u"Northbank");
        b.text(*savings, 4, u"662901");
        b.text(*savings, 6, u"Alex Sample");
        b.text(*savings, 8, u"GB33 NBKA 0000 0042 7731 90");
        b.text(*savings, 9, u"NBKAGB2L");
        b.text(*savings, 13, u"https://www.northbank.example");
        b.text(*savings, 14, u"alex.sample");
        b.text(*savings, 15, u"river-stone-42");
        b.text(*savings, 16, u"service@northbank.example");
        b.write(*savings);
    }

    // Internet
    if (auto mail = b.card(internet, builtinFormRef(5), u"Home Mail")) {
        b.text(*mail, 0, u"alex@mail.example");
        b.text(*mail, 1, u"Example Mail");
        b.text(*mail, 2, u"alex");
        b.text(*mail, 3, u"blue-kettle-7");
        b.text(*mail, 4, u"imap.mail.example");
        b.text(*mail, 5, u"IMAP");
        b.text(*mail, 6, u"993");
        b.text(*mail, 7, u"smtp.mail.example");
        b.text(*mail, 8, u"587");
        b.text(*mail, 11, u"https://webmail.mail.example");
        b.write(*mail);
    }
    if (auto wifi = b.card(internet, builtinFormRef(16), u"Home Wi-Fi")) {
        b.text(*wifi, 0, u"Sample-Home");
        b.text(*wifi, 1, u"WPA2 Personal");
        b.text(*wifi, 2, u"correct-horse-battery");
        b.text(*wifi, 9, u"http://192.168.1.1");
        b.write(*wifi);
    }
    if (auto shop = b.card(shopping, builtinFormRef(34), u"Book Shop")) {
        b.text(*shop, 0, u"Corner Books");
        b.text(*shop, 1, u"https://books.example");
        b.text(*shop, 2, u"alex.sample");
        b.text(*shop, 3, u"paper-lantern-3");
        b.text(*shop, 4, u"alex@mail.example");
        b.date(*shop, 7, at(2023, 11, 2));
        b.date(*shop, 8, at(2025, 2, 17));
        Attachment& order = shop->file(0);
        order.set(bytesOf("Order 2025-0314\r\n1 x Field Guide to Birds\r\n1 x Pocket Atlas\r\n"),
                  u"order-2025-0314.txt");
        order.setTimes(at(2025, 3, 14, 18, 42), at(2025, 3, 14, 18, 45));
        b.write(*shop);
    }
    if (auto logins = b.card(shopping, builtinFormRef(41), u"Family Logins")) {
        const std::u16string_view sites[] = {u"https://news.example", u"https://music.example",
                                             u"https://photos.example"};
        for (std::size_t i = 0; i < 3; ++i) {
            b.text(*logins, 3 * i, sites[i]);
            b.text(*logins, 3 * i + 1, u"sample-family");
            b.text(*logins, 3 * i + 2, i == 1 ? u"quiet-harbour-5" : u"green-meadow-9");
        }
        b.write(*logins);
    }

    // Personal
    if (auto passport = b.card(personal, builtinFormRef(9), u"Passport")) {
        b.text(*passport, 0, u"P1234567");
        b.text(*passport, 1, u"Sample");
        b.text(*passport, 2, u"Alex");
        b.text(*passport, 3, u"British");
        b.date(*passport, 4, at(1988, 2, 29));
        b.text(*passport, 5, u"Leeds");
        b.date(*passport, 7, at(2021, 6, 1));
        b.date(*passport, 8, at(2031, 6, 1));
        b.text(*passport, 9, u"HM Passport Office");
        passport->picture().set(samplePicture(), u"passport-photo.bmp");
        b.write(*passport);
    }
    const RecordId club = clubForm(b, wallet, env, formsFolder);
    if (auto gym = b.card(personal, customFormRef(club), u"City Gym")) {
        const std::u16string_view texts[] = {
            u"Alex Sample", u"M-20417", u"https://citygym.example", u"+1 555 0142", u"desk@citygym.example",
            u"+1 555 0140", u"2580#",
        };
        for (std::size_t i = 0; i < 7; ++i) b.text(*gym, i, texts[i]);
        b.date(*gym, 7, at(2022, 1, 10));
        b.date(*gym, 8, at(2025, 3, 14, 18, 30));
        b.date(*gym, 9, at(2025, 4, 2, 7, 15));
        if (gym->fieldCount() > 11 && gym->field(10).listItems().size() == 2)
            b.text(*gym, 10, gym->field(10).listItems()[0]);
        b.text(*gym, 11, u"Gold");
        b.text(*gym, 12, u"1");
        b.text(*gym, 13, u"39");
        b.text(*gym, 14, u"Jordan Miles");
        b.text(*gym, 15, u"12 Harbour Road");
        b.note(*gym, u"Bring a padlock for the locker.\r\nTowels are extra.");
        gym->sound().set(sampleSound(), u"beep.wav");
        b.write(*gym);
    }

    if (!visaId.isZero()) wallet.settings().addFavourite(visaId, env.clock.localTime());
    return b.ok();
}

}  // namespace

bool buildSampleWallet(Env& env, const std::string& path) {
    if (createWallet(env, path, kSampleWalletPassword, kHint, true) != CreateResult::Ok) return false;
    bool ok = false;
    {
        WalletFile wallet(env);
        if (wallet.readAll(path, kSampleWalletPassword, false) == OpenResult::Ok) {
            ok = fill(env, wallet);
            ok = wallet.flush() == 0 && ok;
        }
        wallet.close();
    }
    if (!ok) env.files.remove(path);
    return ok;
}

}  // namespace tw
