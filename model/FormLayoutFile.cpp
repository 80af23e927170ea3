#include "model/FormLayoutFile.h"

#include <array>
#include <cstring>

#include "model/DisplayText.h"
#include "model/UniqueName.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/Md5.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

namespace fl = form_layout;

// The registered sign is the single byte 0xAE of the 8-bit code page.
constexpr char kSignatureText[] =
    "Halvorsgarden"
    "\xAE"
    " Tallowmere"
    "\xAE"
    " Pro Form";
static_assert(sizeof kSignatureText <= fl::kSignatureSize);

constexpr std::u16string_view kPassPhrase = u"quillbark";
constexpr std::size_t kPassPhraseKeyBytes = 16;
static_assert(kPassPhrase.size() * 2 >= kPassPhraseKeyBytes);

constexpr std::u16string_view kForbiddenInFileNames = u"\\/:*?\"<>|";
constexpr std::size_t kMaxQuestionName = 28;

namespace sid {
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kQuestionCaption = 20504;
constexpr std::uint32_t kExportCaption = 20505;
constexpr std::uint32_t kExported = 22020;
constexpr std::uint32_t kImportIntro = 22025;
constexpr std::uint32_t kNameLabel = 22026;
constexpr std::uint32_t kDescriptionLabel = 22027;
constexpr std::uint32_t kAuthorLabel = 22028;
constexpr std::uint32_t kDateLabel = 22029;
constexpr std::uint32_t kCannotCreate = 23017;
}  // namespace sid

// The signature compares as an 8-bit NUL-terminated text: the bytes after its NUL do not count,
// and a field without a NUL matches nothing.
bool signatureMatches(const std::uint8_t* field) {
    const void* end = std::memchr(field, 0, fl::kSignatureSize);
    if (end == nullptr) return false;
    const std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - field);
    return length == sizeof kSignatureText - 1 && std::memcmp(field, kSignatureText, length) == 0;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

KeyRecord formFileKey() {
    std::string phrase = toBytes16(kPassPhrase);
    Digest digest = md5(phrase.data(), kPassPhraseKeyBytes);
    KeyRecord key;
    key.set(digest.data());
    wipe(digest.data(), digest.size());
    wipe(phrase.data(), phrase.size());
    return key;
}

std::u16string formFileName(std::u16string_view formName, const SystemTime& today) {
    std::u16string name(formName);
    for (char16_t& c : name)
        if (kForbiddenInFileNames.find(c) != std::u16string_view::npos) c = u'_';
    return format(u"%s_%02d%02d%d.tmx",
                  {name, std::int64_t{today.day}, std::int64_t{today.month}, std::int64_t{today.year}});
}

FormLayoutResult writeFormLayout(File* file, const Card& form, const KeyRecord& walletKey, bool keepValues,
                                 const FormLayoutHeader& header) {
    if (file == nullptr) return FormLayoutResult::CannotOpen;
    if (form.header() == nullptr) return FormLayoutResult::BadRecord;
    const KeyRecord key = formFileKey();
    Card copy = form;
    RecordHeader& h = *copy.header();
    std::u16string name = h.name(walletKey);
    h.setId(RecordId{});
    h.setParent(RecordId{});
    h.setFormRef(FormRef{});
    h.putName(name, key);
    wipe(name.data(), name.size() * sizeof(char16_t));
    if (!keepValues)
        for (std::size_t i = 0; i < copy.fieldCount(); ++i) copy.field(i).setValue(u"");

    std::array<std::uint8_t, fl::kHeaderSize> head{};
    std::memcpy(head.data() + fl::kSignature, kSignatureText, sizeof kSignatureText - 1);
    putU32(head.data(), fl::kVersion, fl::kCurrentVersion);
    putText16(head.data() + fl::kDescription, fl::kDescriptionSize, header.description);
    putText16(head.data() + fl::kAuthor, fl::kAuthorSize, header.author);
    putSystemTime(head.data(), fl::kWritten, header.written);
    if (writeBlock(file, head.data(), head.size()) != FileResult::Done) return FormLayoutResult::WriteFailed;
    if (writeCard(file, copy, key, header.written) != CardWriteResult::Ok) return FormLayoutResult::WriteFailed;
    return FormLayoutResult::Ok;
}

FormLayoutResult readFormLayout(File* file, const KeyRecord& walletKey, Card* card, FormLayoutHeader* header) {
    card->release();
    std::uint64_t size = 0;
    if (file == nullptr || !file->size(&size) || !file->seekTo(0)) return FormLayoutResult::CannotOpen;
    if (size < fl::kHeaderSize) return FormLayoutResult::ShortHeader;
    std::array<std::uint8_t, fl::kHeaderSize> head{};
    if (readBlock(file, head.data(), head.size()) != FileResult::Done) return FormLayoutResult::ShortHeader;
    if (!signatureMatches(head.data() + fl::kSignature)) return FormLayoutResult::BadSignature;
    if (getU32(head.data(), fl::kVersion) != fl::kCurrentVersion) return FormLayoutResult::BadVersion;

    // readRecord reads icon data only when the file holds it; the body is checked the same way.
    RecordHeader h;
    std::uint64_t consumed = 0;
    if (readRecord(file, h, &consumed) != FileResult::Done || h.type() != RecordType::Card)
        return FormLayoutResult::BadRecord;
    const std::uint64_t bodyAt = fl::kHeaderSize + consumed;
    const std::uint32_t bodyLength = h.bodyLength();
    if (bodyAt > size || bodyLength > size - bodyAt) return FormLayoutResult::BadRecord;

    const KeyRecord key = formFileKey();
    std::u16string name = h.name(key);
    h.putName(name, walletKey);
    wipe(name.data(), name.size() * sizeof(char16_t));
    Card loaded;
    loaded.setHeader(std::move(h));
    // A form file is taken whole or not at all: a damaged body is refused, not salvaged.
    if (!loaded.readBody(file, bodyLength, key) || loaded.bodyCutShort()) return FormLayoutResult::BadRecord;

    *card = std::move(loaded);
    // A field filled to its end without a terminator still holds only as much text as a writer
    // may put there.
    header->description = getText16(head.data() + fl::kDescription, fl::kDescriptionSize);
    header->author = getText16(head.data() + fl::kAuthor, fl::kAuthorSize);
    if (header->description.size() > FormLayoutHeader::kMaxDescription)
        header->description.resize(FormLayoutHeader::kMaxDescription);
    if (header->author.size() > FormLayoutHeader::kMaxAuthor) header->author.resize(FormLayoutHeader::kMaxAuthor);
    header->written = getSystemTime(head.data(), fl::kWritten);
    return FormLayoutResult::Ok;
}

FormLayoutResult exportForm(WalletFile& wallet, std::size_t position, const FormExportOptions& options,
                            std::string* path) {
    const WalletIndex& index = wallet.index();
    const std::int64_t forms = index.formsFolder();
    if (forms < 0 || position >= index.count()) return FormLayoutResult::NotAForm;
    const IndexEntry& entry = index.at(position);
    if (entry.deleted() || entry.type() != RecordType::Card ||
        entry.parent() != index.at(static_cast<std::size_t>(forms)).id())
        return FormLayoutResult::NotAForm;
    std::unique_ptr<Card> form = wallet.loadCard(entry.id());
    if (!form) return FormLayoutResult::NotAForm;

    Env& env = wallet.env();
    const SystemTime now = env.clock.localTime();
    const std::u16string fileName = formFileName(form->header()->name(wallet.recordKey()), now);
    const std::string target = joinPath(options.folder, toUtf8(fileName));
    // Written beside the target and renamed over it: a failed export never leaves half a file,
    // nor destroys an earlier export of the same name.
    const std::string temp = target + ".~new";
    env.files.remove(temp);
    FormLayoutResult r = FormLayoutResult::CannotOpen;
    if (std::unique_ptr<File> file = env.files.open(temp, OpenMode::CreateNew)) {
        r = writeFormLayout(file.get(), *form, wallet.recordKey(), options.keepValues,
                            FormLayoutHeader{options.description, options.author, now});
        if (r == FormLayoutResult::Ok && !file->flush()) r = FormLayoutResult::WriteFailed;
    }
    if (r == FormLayoutResult::Ok && !env.files.rename(temp, target)) r = FormLayoutResult::WriteFailed;
    if (r != FormLayoutResult::Ok) {
        env.files.remove(temp);
        env.prompt.tell(env.strings.text(sid::kCannotCreate), env.strings.text(sid::kErrorCaption), Icon::Stop);
        return r;
    }
    if (path != nullptr) *path = target;
    env.prompt.tell(format(env.strings.text(sid::kExported), {fromUtf8(options.folder), fileName}),
                    env.strings.text(sid::kExportCaption), Icon::Information);
    return FormLayoutResult::Ok;
}

std::u16string importFormQuestion(const FormLayoutHeader& header, std::u16string_view formName,
                                  const StringTable& strings, const LocalePatterns& locale) {
    std::u16string text = strings.text(sid::kImportIntro) + u"\n\n";
    if (!formName.empty()) {
        std::u16string shown(formName.substr(0, kMaxQuestionName));
        if (formName.size() > kMaxQuestionName) shown += u"...";
        text += strings.text(sid::kNameLabel) + u" " + shown + u"\n";
    }
    if (!header.description.empty()) text += strings.text(sid::kDescriptionLabel) + u" " + header.description + u"\n";
    if (!header.author.empty()) text += strings.text(sid::kAuthorLabel) + u" " + header.author + u"\n";
    text += strings.text(sid::kDateLabel) + u" " + formatShortDate(header.written, locale);
    return text;
}

FormLayoutResult importForm(WalletFile& wallet, const std::string& path, const LocalePatterns& locale,
                            std::int64_t* position) {
    const std::int64_t forms = wallet.index().formsFolder();
    if (forms < 0) return FormLayoutResult::NoFormsFolder;
    Env& env = wallet.env();
    Card card;
    FormLayoutHeader header;
    {
        const std::unique_ptr<File> file = env.files.open(path, OpenMode::Read);
        if (!file) return FormLayoutResult::CannotOpen;
        const FormLayoutResult r = readFormLayout(file.get(), wallet.recordKey(), &card, &header);
        if (r != FormLayoutResult::Ok) return r;
    }
    RecordHeader& h = *card.header();
    const Message question{importFormQuestion(header, h.name(wallet.recordKey()), env.strings, locale),
                           env.strings.text(sid::kQuestionCaption), Buttons::YesNo, Icon::Question};
    if (env.prompt.ask(question) != Answer::Yes) return FormLayoutResult::Declined;

    h.setId(recordIds().next(env.random, env.clock.localTime()));
    h.setParent(wallet.index().at(static_cast<std::size_t>(forms)).id());
    // A form of the same name in the forms folder already makes this one "name (2)", ...
    h.putName(uniqueName(wallet, h.parent(), h.name(wallet.recordKey())), wallet.recordKey());
    // A form travels as a live record whatever its header said; a deletion mark would hide it.
    h.setDeletedMark(false);
    const std::int64_t at = wallet.appendCard(card);
    if (at < 0) return FormLayoutResult::WriteFailed;
    if (position != nullptr) *position = at;
    return FormLayoutResult::Ok;
}

}  // namespace tw
