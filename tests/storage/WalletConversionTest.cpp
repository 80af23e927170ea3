// Converting older ".wal" wallets: the header and password checks, folders and cards with their
// forms, note, picture, sound and display, the custom forms file, and the new file's safety.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "model/BuiltinForms.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "platform/MemoryRegistry.h"
#include "platform/Text.h"
#include "storage/OldWallet.h"
#include "storage/WalletConversion.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/Hex.h"
#include "support/OldWalletBuilder.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::WalBuilder;
using test::WalCard;
using test::walText;
using test::walU32;

const std::string kOld = "/docs/Home.wal";
const std::string kNew = "/docs/Home.tm5";
const std::u16string kOldPassword = u"open sesame";

struct Conversion {
    ConvertResult result;
    std::string newPath;
};

Conversion convert(test::TestEnv& t, std::u16string_view password = kOldPassword, ConversionOptions options = {}) {
    Conversion run;
    run.result = convertOldWallet(t.env, kOld, password, options, &run.newPath);
    return run;
}

// The converted wallet's records by name: folders and cards (forms folder left out).
struct NewWallet {
    std::map<std::u16string, RecordHeader> folders;
    std::map<std::u16string, std::unique_ptr<Card>> cards;
    std::map<std::u16string, std::u16string> folderOf;  // card name -> folder name
};

NewWallet readNew(test::TestEnv& t, const std::string& path = kNew) {
    NewWallet n;
    WalletFile w(t.env);
    EXPECT_EQ(w.readAll(path, kOldPassword, true), OpenResult::Ok);
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        const IndexEntry& h = w.index().at(i);
        if (h.type() == RecordType::Folder) n.folders[w.nameOf(i)] = w.headerAt(i);
        if (h.type() != RecordType::Card) continue;
        n.cards[w.nameOf(i)] = w.loadCard(h.id());
        n.folderOf[w.nameOf(i)] = w.nameOf(static_cast<std::size_t>(w.index().parentOf(static_cast<std::int64_t>(i))));
    }
    return n;
}

WalBuilder homeWallet() {
    WalBuilder b("open sesame");
    b.addFolder(1, 502, 44, u"Bank");
    WalCard mail;
    mail.id = 10;
    mail.folder = 1;
    mail.form = 505;  // E-mail account: fields 506 e-mail, 507 text first capital, 508 text, 509 PIN, ...
    mail.icon = 15;
    mail.colour = 0x123456;
    mail.background = 0xABCDEF;
    mail.bold = 0x03;
    mail.picture = 1;
    mail.sound = 0x01;
    mail.name = u"Mail";
    mail.items = {{506, walText(u"me@example.org")},
                  {508, walText(u"mail.example.org")},
                  {509, walText(u"s3cret")},
                  {507, {}},  // length 0: absent
                  {400, walText(u"Call back first")},
                  {450, test::testBytes(300, 1)},
                  {451, walU32(2)},
                  {452, walText(u"logo.gif")},
                  {460, test::testBytes(120, 9)},
                  {461, walText(u"ding.wav")}};
    b.addCard(mail);
    b.addFolder(2, 999, 9, u"Web");
    WalCard odd;  // a form nobody knows, data in clear
    odd.id = 11;
    odd.folder = 2;
    odd.form = 777;
    odd.icon = 33;
    odd.enciphered = false;
    odd.picture = 1;
    odd.sound = 0x01;
    odd.name = u"Odd";
    odd.items = {{778, walText(u"a value")},
                 {400, walText(u"a note")},
                 {450, test::testBytes(40, 2)},
                 {451, walU32(1)},
                 {460, test::testBytes(30, 3)}};
    b.addCard(odd);
    WalCard stray;
    stray.id = 12;
    stray.folder = 99;
    stray.name = u"Stray";
    b.addCard(stray);
    return b;
}

TEST(WalletConversion, FoldersAndCardsWithTheirFormsNotePictureSoundAndDisplay) {
    test::TestEnv t;
    t.strings.set(kConvertedNoteNameId, u"Note");
    const std::vector<std::uint8_t> old = homeWallet().bytes();
    t.files.setBytes(kOld, old);

    const Conversion run = convert(t);
    ASSERT_EQ(run.result, ConvertResult::Ok);
    EXPECT_EQ(run.newPath, kNew);
    EXPECT_EQ(t.files.bytes(kOld), old);
    EXPECT_FALSE(t.files.exists(kNew + ".~conv"));

    NewWallet n = readNew(t);
    ASSERT_EQ(n.folders.size(), 2u);
    EXPECT_EQ(n.folders.at(u"Bank").iconIndex(), 44);
    EXPECT_EQ(n.folders.at(u"Bank").formRef(), builtinFormRef(2));
    EXPECT_EQ(n.folders.at(u"Bank").parent(), RecordId{});
    EXPECT_EQ(n.folders.at(u"Web").formRef(), builtinFormRef(0));
    ASSERT_EQ(n.cards.size(), 2u) << "the card of an unknown folder is left out";
    EXPECT_EQ(n.folderOf.at(u"Mail"), u"Bank");
    EXPECT_EQ(n.folderOf.at(u"Odd"), u"Web");

    const Card& mail = *n.cards.at(u"Mail");
    EXPECT_EQ(mail.header()->iconIndex(), 15);
    ASSERT_EQ(mail.fieldCount(), 14u);  // the form's 13 fields and the note
    EXPECT_EQ(mail.field(0).kind(), field_kind::kEmail);
    EXPECT_EQ(mail.field(0).value(), u"me@example.org");
    EXPECT_EQ(mail.field(1).kind(), field_kind::kFirstCapital);
    EXPECT_EQ(mail.field(1).value(), u"");
    EXPECT_EQ(mail.field(2).kind(), field_kind::kText);
    EXPECT_EQ(mail.field(2).value(), u"mail.example.org");
    EXPECT_EQ(mail.field(3).kind(), field_kind::kPassword);
    EXPECT_EQ(mail.field(3).value(), u"s3cret");
    EXPECT_EQ(mail.field(0).name(), t.strings.text(30005));
    const Field& note = mail.field(13);
    EXPECT_EQ(note.kind(), field_kind::kText);
    EXPECT_EQ(note.style(), Field::kNoteStyle);
    EXPECT_EQ(note.name(), u"Note");
    EXPECT_EQ(note.value(), u"Call back first");
    EXPECT_EQ(mail.picture().data(), test::testBytes(300, 1));
    EXPECT_EQ(mail.picture().name(), u"logo.gif");
    EXPECT_EQ(mail.picture().type(), Attachment::kPictureGif);
    EXPECT_EQ(mail.sound().data(), test::testBytes(120, 9));
    EXPECT_EQ(mail.sound().name(), u"ding.wav");
    EXPECT_TRUE(mail.display().namesBold());
    EXPECT_TRUE(mail.display().valuesBold());
    EXPECT_EQ(mail.display().background(), 0xABCDEFu);
    EXPECT_EQ(mail.display().nameColour(), 0x123456u);
    EXPECT_EQ(mail.display().valueColour(), 0x123456u);

    const Card& odd = *n.cards.at(u"Odd");
    EXPECT_EQ(odd.fieldCount(), 0u);
    EXPECT_NE(odd.header()->iconIndex(), 33);
    EXPECT_EQ(odd.picture().data(), test::testBytes(40, 2));
    EXPECT_EQ(odd.picture().type(), Attachment::kPictureBitmap);
    EXPECT_EQ(odd.sound().data(), test::testBytes(30, 3));
    EXPECT_FALSE(odd.display().namesBold());

    // A second run finds the first result and leaves it alone.
    const std::vector<std::uint8_t> first = t.files.bytes(kNew);
    EXPECT_EQ(convert(t).result, ConvertResult::Exists);
    EXPECT_EQ(t.files.bytes(kNew), first);
}

// A card of a known form without picture or sound has its body written straight from the older
// data; a picture flag without a picture takes it through the card model instead. Both must give
// the same file: every built-in form, values of odd byte length, with a NUL inside, empty or
// absent, a note or none, data enciphered or in clear.
TEST(WalletConversion, DirectBodiesAreTheCardModelsBytes) {
    auto wallet = [](std::uint16_t picture) {
        WalBuilder b("open sesame");
        b.addFolder(1, 502, 4, u"All");
        std::uint32_t id = 10;
        for (const Form& form : builtinForms()) {
            for (int variant = 0; variant < 3; ++variant) {
                WalCard c;
                c.id = ++id;
                c.folder = 1;
                c.form = form.number;
                c.icon = variant;
                c.colour = 0x010203u * static_cast<std::uint32_t>(variant);
                c.bold = static_cast<std::uint8_t>(variant);
                c.enciphered = variant != 1;
                c.picture = picture;
                c.name = u"Card " + fromUtf8(std::to_string(id));
                for (std::size_t i = 0; i < form.fields.size(); ++i) {
                    std::vector<std::uint8_t> value = walText(std::u16string(i + variant, u'a' + i % 26));
                    if (variant == 1 && i % 3 == 0) value.push_back('x');            // a lone byte is no character
                    if (variant == 2 && i % 2 == 0) value = {'v', 0, 0, 0, 'w', 0};  // ends at the NUL
                    if (variant == 2 && i % 5 == 1) value.clear();
                    c.items.push_back({form.fields[i].number, value});
                }
                if (variant == 0) c.items.push_back({400, walText(u"note")});
                if (variant == 2) c.items.push_back({400, {0, 0}});  // an empty note adds no field
                b.addCard(c);
            }
        }
        return b.bytes();
    };
    test::TestEnv direct;
    test::TestEnv model;
    direct.files.setBytes(kOld, wallet(0));
    model.files.setBytes(kOld, wallet(1));
    ASSERT_EQ(convert(direct).result, ConvertResult::Ok);
    ASSERT_EQ(convert(model).result, ConvertResult::Ok);
    EXPECT_EQ(direct.files.bytes(kNew), model.files.bytes(kNew));
    EXPECT_EQ(readNew(direct).cards.at(u"Card 11")->fieldCount(), builtinForms()[0].fields.size() + 1);
}

TEST(WalletConversion, PictureNeedsItsFlagAKnownTypeAndData) {
    struct Case {
        std::uint16_t flag;
        std::vector<std::uint8_t> type;
        bool data;
        bool expected;
        std::uint32_t kind;
    };
    const Case cases[] = {
        {1, walU32(1), true, true, Attachment::kPictureBitmap},
        {1, walU32(2), true, true, Attachment::kPictureGif},
        {1, walU32(3), true, true, Attachment::kPictureJpeg},
        {1, walU32(4), true, false, 0},
        {1, walU32(0), true, false, 0},
        {1, {2, 0}, true, false, 0},
        {0, walU32(1), true, false, 0},
        {1, walU32(1), false, false, 0},
    };
    for (const Case& c : cases) {
        test::TestEnv t;
        WalBuilder b("open sesame");
        b.addFolder(1, 500, 0, u"F");
        WalCard card;
        card.folder = 1;
        card.form = 500;
        card.picture = c.flag;
        card.name = u"P";
        card.items = {{451, c.type}, {452, walText(u"pic.jpg")}};
        if (c.data) card.items.push_back({450, test::testBytes(64, 4)});
        b.addCard(card);
        t.files.setBytes(kOld, b.bytes());
        ASSERT_EQ(convert(t).result, ConvertResult::Ok);
        const NewWallet n = readNew(t);
        const Card& got = *n.cards.at(u"P");
        EXPECT_EQ(got.picture().hasData(), c.expected) << c.flag << " " << c.type.size();
        if (c.expected) {
            EXPECT_EQ(got.picture().type(), c.kind);
        }
    }
}

// A custom forms file with one form: a date code (converted as text capitalising its first
// word), a PIN and plain text.
const std::string kGymForms =
    "<HalvorsgardenTallowmereCustomForms.1>\r\n<MyForm>\r\nGym\r\n1000\r\n7\r\n"
    "1 TMF_DATE Expiry\r\n2 TMF_PIN Code\r\n3 TMF_DEFAULT Locker\r\n<EndForm>\r\n";

WalBuilder gymWallet() {
    WalBuilder b("open sesame");
    b.customForms = u"\\My Documents\\Gym.tcd";
    b.addFolder(1, 1000, 0, u"Sport");
    WalCard card;
    card.folder = 1;
    card.form = 1000;
    card.name = u"Gym";
    card.items = {{1, walText(u"next june")}, {2, walText(u"2468")}, {3, walText(u"B12")}};
    b.addCard(card);
    return b;
}

TEST(WalletConversion, CustomFormsBesideTheProgramOrWhereTheRegistrySays) {
    const std::vector<std::uint8_t> forms(kGymForms.begin(), kGymForms.end());
    MemoryRegistry registry;
    registry.createKey(RegistryRoot::ClassesRoot, u"halvotallowmerefile\\DefaultIcon");
    registry.writeString(RegistryRoot::ClassesRoot, u"halvotallowmerefile\\DefaultIcon", u"",
                         u"\"/opt/oldprog/wallet.ico\",0");
    struct Case {
        const char* what;
        std::string formsAt;  // where the file lies; empty: nowhere
        bool useRegistry;
        ConvertResult expected;
    };
    const Case cases[] = {
        {"beside the program", "/prog/Gym.tcd", false, ConvertResult::Ok},
        {"where the registry says", "/opt/oldprog/Gym.tcd", true, ConvertResult::Ok},
        {"registry not asked", "/opt/oldprog/Gym.tcd", false, ConvertResult::NoCustomForms},
        {"nowhere", "", true, ConvertResult::NoCustomForms},
    };
    for (const Case& c : cases) {
        test::TestEnv t;
        t.files.setBytes(kOld, gymWallet().bytes());
        if (!c.formsAt.empty()) t.files.setBytes(c.formsAt, forms);
        ConversionOptions options;
        options.programFolder = "/prog";
        options.registry = c.useRegistry ? &registry : nullptr;
        ASSERT_EQ(convert(t, kOldPassword, options).result, c.expected) << c.what;
        if (c.expected != ConvertResult::Ok) {
            EXPECT_FALSE(t.files.exists(kNew)) << c.what;
            continue;
        }
        const NewWallet n = readNew(t);
        const Card& gym = *n.cards.at(u"Gym");
        ASSERT_EQ(gym.fieldCount(), 3u) << c.what;
        EXPECT_EQ(gym.field(0).kind(), field_kind::kFirstCapital);
        EXPECT_EQ(gym.field(0).name(), u"Expiry");
        EXPECT_EQ(gym.field(0).value(), u"next june");
        EXPECT_EQ(gym.field(1).kind(), field_kind::kPassword);
        EXPECT_EQ(gym.field(1).value(), u"2468");
        EXPECT_EQ(gym.field(2).kind(), field_kind::kText);
        EXPECT_EQ(gym.field(2).value(), u"B12");
    }
}

TEST(WalletConversion, RefusalsLeaveNoNewFile) {
    const std::vector<std::uint8_t> good = homeWallet().bytes();
    auto changed = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> b = good;
        b[at] = value;
        return b;
    };
    WalBuilder empty("open sesame");
    struct Case {
        const char* what;
        std::optional<std::vector<std::uint8_t>> bytes;
        std::u16string password;
        ConvertResult expected;
    };
    const Case cases[] = {
        {"signature differs after its 40 compared bytes", changed(45, 'X'), kOldPassword, ConvertResult::Ok},
        {"signature differs in byte 39", changed(39, 'X'), kOldPassword, ConvertResult::NotOldWallet},
        {"843 bytes", std::vector<std::uint8_t>(good.begin(), good.begin() + 843), kOldPassword,
         ConvertResult::NotOldWallet},
        {"first magic", changed(77, 0), kOldPassword, ConvertResult::NotOldWallet},
        {"second magic", changed(843, 0), kOldPassword, ConvertResult::NotOldWallet},
        {"wrong password", good, u"open sesamE", ConvertResult::WrongPassword},
        {"no file", std::nullopt, kOldPassword, ConvertResult::CannotOpen},
        {"no folder", empty.bytes(), kOldPassword, ConvertResult::NoFolder},
    };
    for (const Case& c : cases) {
        test::TestEnv t;
        if (c.bytes) t.files.setBytes(kOld, *c.bytes);
        EXPECT_EQ(convert(t, c.password).result, c.expected) << c.what;
        EXPECT_EQ(t.files.exists(kNew), c.expected == ConvertResult::Ok) << c.what;
        EXPECT_FALSE(t.files.exists(kNew + ".~conv")) << c.what;
    }
    test::TestEnv t;
    std::string newPath = "x";
    EXPECT_EQ(convertOldWallet(t.env, kOld, std::nullopt, {}, &newPath), ConvertResult::MissingArgument);
    EXPECT_EQ(convertOldWallet(t.env, kOld, kOldPassword, {}, nullptr), ConvertResult::MissingArgument);
}

TEST(WalletConversion, PasswordIsTakenInTheEightBitCodePage) {
    test::TestEnv t;
    WalBuilder b("P\xE4sswort\x80");  // Windows-1252: a-umlaut, euro sign
    b.addFolder(1, 500, 0, u"F");
    t.files.setBytes(kOld, b.bytes());
    EXPECT_EQ(convert(t, u"Passwort").result, ConvertResult::WrongPassword);
    EXPECT_EQ(convert(t, u"P\u00e4sswort\u20ac").result, ConvertResult::Ok);
}

TEST(WalletConversion, CardWhoseDataRunsPastTheFileKeepsItsName) {
    test::TestEnv t;
    WalBuilder b("open sesame");
    b.addFolder(1, 505, 0, u"F");
    WalCard card;
    card.folder = 1;
    card.form = 505;
    card.name = u"Cut";
    card.items = {{506, walText(u"someone@example.org")}};
    b.addCard(card);
    std::vector<std::uint8_t> bytes = b.bytes();
    bytes.resize(bytes.size() - 10);
    t.files.setBytes(kOld, bytes);
    ASSERT_EQ(convert(t).result, ConvertResult::Ok);
    const NewWallet n = readNew(t);
    ASSERT_TRUE(n.cards.count(u"Cut"));
    EXPECT_EQ(n.cards.at(u"Cut")->fieldCount(), 0u);
}

TEST(WalletConversion, CardWithoutDataIsAnEmptyCardOfItsForm) {
    test::TestEnv t;
    WalBuilder b("open sesame");
    b.addFolder(1, 505, 0, u"F");
    WalCard card;
    card.folder = 1;
    card.form = 505;
    card.icon = 15;
    card.background = 0x00FF00;
    card.name = u"Blank";
    b.addCard(card);
    t.files.setBytes(kOld, b.bytes());
    ASSERT_EQ(convert(t).result, ConvertResult::Ok);
    const NewWallet n = readNew(t);
    ASSERT_TRUE(n.cards.count(u"Blank"));
    const Card& blank = *n.cards.at(u"Blank");
    EXPECT_EQ(blank.header()->iconIndex(), 15);
    ASSERT_EQ(blank.fieldCount(), 13u) << "the form's fields, no note";
    EXPECT_EQ(blank.field(0).kind(), field_kind::kEmail);
    EXPECT_EQ(blank.field(0).name(), t.strings.text(30005));
    EXPECT_EQ(blank.field(0).value(), u"");
    EXPECT_EQ(blank.display().background(), 0x00FF00u);
}

// Also for a wallet whose new records take more than one block of writing.
TEST(WalletConversion, FailedWriteLeavesNoNewFile) {
    WalBuilder large("open sesame");
    large.addFolder(1, 500, 0, u"Pictures");
    for (std::uint32_t i = 0; i < 4; ++i) {
        WalCard card;
        card.id = 10 + i;
        card.folder = 1;
        card.form = 500;
        card.picture = 1;
        card.name = u"P" + fromUtf8(std::to_string(i));
        card.items = {{451, walU32(1)}, {450, test::testBytes(400000, static_cast<std::uint8_t>(i))}};
        large.addCard(card);
    }
    for (const std::vector<std::uint8_t>& old : {homeWallet().bytes(), large.bytes()}) {
        test::TestEnv clean;
        clean.files.setBytes(kOld, old);
        ASSERT_EQ(convert(clean).result, ConvertResult::Ok);
        const std::uint64_t writes = clean.files.faults().writes;
        for (std::uint64_t k = 1; k <= writes; ++k) {
            test::TestEnv t;
            t.files.setBytes(kOld, old);
            t.files.faults().failWriteAt = k;
            EXPECT_EQ(convert(t).result, ConvertResult::CannotCreate) << "write " << k;
            EXPECT_FALSE(t.files.exists(kNew)) << "write " << k;
            EXPECT_FALSE(t.files.exists(kNew + ".~conv")) << "write " << k;
            EXPECT_EQ(t.files.bytes(kOld), old);
        }
        // Every card arrived whole.
        if (old.size() > 1000000) {
            const NewWallet n = readNew(clean);
            ASSERT_EQ(n.cards.size(), 4u);
            EXPECT_EQ(n.cards.at(u"P3")->picture().data(), test::testBytes(400000, 3));
        }
    }
}

TEST(WalletConversion, NewPathReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(withExtension("/docs/Home.wal", ".tm5"), "/docs/Home.tm5");
    EXPECT_EQ(withExtension("/docs/a.b.WAL", ".tm5"), "/docs/a.b.tm5");
    EXPECT_EQ(withExtension("/my.docs/Home", ".tm5"), "/my.docs/Home.tm5");
}

// An older wallet laid out here byte by byte, with its key, check block and card data worked out
// by hand from the layout (MD5 of the salt and "Grüße1" in Windows-1252 with its NUL, reordered),
// so that the reader is checked against more than the test builder.
TEST(OldWallet, ReadsAWalletLaidOutByHand) {
    const std::uint8_t salt[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    Key16 digest{};
    EXPECT_EQ(test::toHex(oldWalletKey(salt,
                                       "Gr\xFC\xDF"
                                       "e1",
                                       &digest)),
              "f74c96f29ed9f29868b1830fa7b4ab6d");
    EXPECT_EQ(test::toHex(digest), "ab98d9f283686d9eb44cf296f7a7b10f");

    std::vector<std::uint8_t> file(844, 0);
    const std::string signature = "Halvorsgarden\xAE Tallowmere\xAE File\r\nhttp://";
    std::copy(signature.begin(), signature.end(), file.begin());
    putU32(file.data(), 76, 0xB8161967);
    std::copy(salt, salt + 8, file.begin() + 752);
    const std::vector<std::uint8_t> check = test::fromHex("3bd8c9d83fb12d58326e921df733196c");
    std::copy(check.begin(), check.end(), file.begin() + 816);
    putU32(file.data(), 840, 0xB1281966);
    std::vector<std::uint8_t> folder(252, 0);
    putU32(folder.data(), 0, 0x404F4F40);
    putU32(folder.data(), 4, 7);
    putU32(folder.data(), 28, 502);
    putU32(folder.data(), 32, 12);
    putText16(folder.data() + 36, 216, u"Banking");
    // Items {501, "Bob"} and {451, u32 3}, one RC4 stream.
    const std::vector<std::uint8_t> data = test::fromHex("6541102ab4d940c6c4220f8b6294a863e1d03c100d311d23a1a14b3c");
    std::vector<std::uint8_t> card(252, 0);
    putU32(card.data(), 0, 0x26F4F426);
    putU32(card.data(), 4, 1);
    putU32(card.data(), 24, 1);
    putU32(card.data(), 28, 7);
    putU32(card.data(), 32, 500);
    putU32(card.data(), 68, static_cast<std::uint32_t>(data.size()));
    putU16(card.data(), 72, 1);
    card[74] = 0x02;
    card[75] = 0x01;
    putText16(card.data() + 76, 176, u"Card A");
    file.insert(file.end(), folder.begin(), folder.end());
    file.insert(file.end(), card.begin(), card.end());
    file.insert(file.end(), data.begin(), data.end());

    test::TestEnv t;
    t.files.setBytes(kOld, file);
    OldWallet old(t.env.files);
    EXPECT_EQ(old.open(kOld, u"Gr\u00fc\u00dfe2"), OldOpenResult::WrongPassword);
    ASSERT_EQ(old.open(kOld, u"Gr\u00fc\u00dfe1"), OldOpenResult::Ok);
    std::vector<OldFolder> folders;
    ASSERT_TRUE(old.readFolders(&folders));
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, u"Banking");
    EXPECT_EQ(folders[0].defaultForm, 502u);
    EXPECT_EQ(folders[0].icon, 12u);
    std::vector<OldCard> cards;
    ASSERT_TRUE(old.cardsOf(7, &cards));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, u"Card A");
    EXPECT_EQ(cards[0].form, 500u);
    EXPECT_EQ(cards[0].bold, 0x02);
    EXPECT_EQ(cards[0].sound, 0x01);
    std::vector<std::uint8_t> plain;
    ASSERT_TRUE(old.readCardData(cards[0], &plain));
    ASSERT_TRUE(findOldItem(plain, 501));
    EXPECT_EQ(oldItemText(*findOldItem(plain, 501)), u"Bob");
    ASSERT_TRUE(findOldItem(plain, 451));
    EXPECT_EQ(getU32(findOldItem(plain, 451)->data(), 0), 3u);
}

// Records and data far larger than one read of the walk, so that records start, and cards' data
// runs, across its reads; data longer than the cipher's kept keystream deciphers intact too.
TEST(OldWallet, LargeWalletIsWalkedAndReadWhole) {
    test::TestEnv t;
    WalBuilder b("secret");
    b.addFolder(1, 0, 3, u"First");
    // Three cards with large pictures, then many small ones whose records lie close together.
    std::vector<std::vector<std::uint8_t>> pictures;
    for (std::uint32_t i = 0; i < 603; ++i) {
        WalCard card;
        card.id = 10 + i;
        card.folder = i % 2 == 0 ? 1 : 2;
        card.name = u"Card " + fromUtf8(std::to_string(i)) + std::u16string(70, u'.');  // to the record's end
        pictures.push_back(test::testBytes(i < 3 ? 300001 + 977 * i : 10, static_cast<std::uint8_t>(i)));
        card.items = {{450, pictures.back()}};
        b.addCard(card);
    }
    b.addFolder(2, 0, 4, u"Second");
    t.files.setBytes(kOld, b.bytes());

    OldWallet old(t.files);
    ASSERT_EQ(old.open(kOld, u"secret"), OldOpenResult::Ok);
    std::vector<OldFolder> folders;
    std::vector<OldCard> cards;
    ASSERT_TRUE(old.readRecords(&folders, &cards));
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1].name, u"Second");
    ASSERT_EQ(cards.size(), pictures.size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i].id, 10 + i);
        EXPECT_EQ(cards[i].name, u"Card " + fromUtf8(std::to_string(i)) + std::u16string(70, u'.'));
        std::vector<std::uint8_t> data;
        ASSERT_TRUE(old.readCardData(cards[i], &data));
        const auto picture = findOldItem(data, 450);
        ASSERT_TRUE(picture);
        EXPECT_TRUE(std::equal(picture->begin(), picture->end(), pictures[i].begin(), pictures[i].end())) << i;
    }
}

TEST(OldWallet, ItemsAreFoundByTagWithinTheData) {
    std::vector<std::uint8_t> data;
    auto add = [&](std::uint32_t tag, std::vector<std::uint8_t> bytes) {
        const std::size_t at = data.size();
        data.resize(at + 8);
        putU32(data.data(), at, tag);
        putU32(data.data(), at + 4, static_cast<std::uint32_t>(bytes.size()));
        data.insert(data.end(), bytes.begin(), bytes.end());
    };
    add(1, walText(u"one"));
    add(2, {});
    add(3, {'a', 0, 'b'});      // odd length: the lone byte is no character
    add(1, walText(u"later"));  // only the first item of a tag counts
    add(4, {9, 9, 9, 9, 9, 9, 9, 9});
    data.resize(data.size() - 2);  // the last item runs past the data
    EXPECT_EQ(oldItemText(*findOldItem(data, 1)), u"one");
    EXPECT_FALSE(findOldItem(data, 2));
    EXPECT_EQ(oldItemText(*findOldItem(data, 3)), u"a");
    EXPECT_FALSE(findOldItem(data, 4));
    EXPECT_FALSE(findOldItem(data, 5));
    EXPECT_FALSE(findOldItem(std::span<const std::uint8_t>(data.data(), 7), 1));

    // The card's items walked once give the same answers, and a second card's replace them.
    OldItems items;
    items.index(data);
    for (const std::uint32_t tag : {1u, 2u, 3u, 4u, 5u}) {
        const auto once = items.find(tag);
        const auto each = findOldItem(data, tag);
        ASSERT_EQ(once.has_value(), each.has_value()) << tag;
        if (once) {
            EXPECT_EQ(once->data(), each->data()) << tag;
        }
    }
    items.index(std::span<const std::uint8_t>(data.data(), 7));
    EXPECT_FALSE(items.find(1));
}

}  // namespace
}  // namespace tw
