#include "model/Attachment.h"

#include <limits>

#include "model/BodyCodec.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw {
namespace {

// Where each form keeps its sizes in its descriptor.
struct Layout {
    std::size_t descriptor;
    std::size_t dataStored;
    std::size_t dataPadding;
    std::size_t nameStored;
    std::size_t namePadding;
};

constexpr Layout kPicture{48, 16, 20, 24, 28};
constexpr Layout kSound{32, 8, 12, 16, 20};
constexpr Layout kFile{68, 36, 40, 44, 48};

// Fields of the picture, sound and file descriptors that are not sizes.
constexpr std::size_t kPicturePlacement = 0;
constexpr std::size_t kPictureScale = 8;
constexpr std::size_t kPictureType = 12;
constexpr std::size_t kSoundType = 0;
constexpr std::size_t kFileTime = 4;
constexpr std::size_t kAttachTime = 20;

const Layout& layoutOf(AttachmentKind kind) {
    switch (kind) {
        case AttachmentKind::Picture:
            return kPicture;
        case AttachmentKind::Sound:
            return kSound;
        case AttachmentKind::File:
            break;
    }
    return kFile;
}

std::u16string_view nameOfPath(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) path.remove_prefix(slash + 1);
    path = path.substr(0, path.find(u'\0'));
    return cutText(path, Attachment::kMaxName);
}

std::uint32_t pictureTypeOf(std::u16string_view name) {
    const std::size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string_view::npos) return Attachment::kPictureUnknown;
    const std::u16string_view ext = name.substr(dot + 1);
    if (equalNoCase(ext, u"bmp")) return Attachment::kPictureBitmap;
    if (equalNoCase(ext, u"jpg") || equalNoCase(ext, u"jpeg")) return Attachment::kPictureJpeg;
    if (equalNoCase(ext, u"gif")) return Attachment::kPictureGif;
    return Attachment::kPictureUnknown;
}

std::uint32_t soundTypeOf(std::u16string_view name) {
    constexpr std::u16string_view wav = u".wav";
    return name.size() >= wav.size() && equalNoCase(name.substr(name.size() - wav.size()), wav) ? Attachment::kSoundWave
                                                                                                : 0;
}

}  // namespace

std::size_t Attachment::descriptorSize() const {
    return layoutOf(m_kind).descriptor;
}

void Attachment::setPlacement(std::uint32_t placement) {
    m_placement = placement >= 1 && placement <= 10 ? placement : kDefaultPlacement;
}

void Attachment::setTimes(const SystemTime& fileTime, const SystemTime& attachTime) {
    m_fileTime = fileTime;
    m_attachTime = attachTime;
}

bool Attachment::set(std::span<const std::uint8_t> data, std::u16string_view sourcePath, std::uint32_t typeWhenNoPath) {
    if (data.empty() || data.size() > kMaxData) return false;
    // Copies first: the arguments may be this attachment's own data or name.
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    std::u16string name(nameOfPath(sourcePath));
    const bool noPath = sourcePath.empty();
    const std::uint32_t placement = m_placement;
    const SystemTime fileTime = m_fileTime;
    const SystemTime attachTime = m_attachTime;
    clear();  // keeps the descriptor bytes
    m_data = std::move(copy);
    m_name = std::move(name);
    switch (m_kind) {
        case AttachmentKind::Picture:
            setPlacement(placement);
            m_type = noPath ? typeWhenNoPath : pictureTypeOf(m_name);
            break;
        case AttachmentKind::Sound:
            m_type = noPath ? typeWhenNoPath : soundTypeOf(m_name);
            break;
        case AttachmentKind::File:
            setTimes(fileTime, attachTime);
            break;
    }
    m_changed = true;
    return true;
}

bool Attachment::setFromFile(FileSystem& files, const std::string& path, Clock& clock) {
    const std::unique_ptr<File> file = files.open(path, OpenMode::Read);
    std::uint64_t size = 0;
    if (!file || !file->size(&size) || size == 0 || size > kMaxData) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size), 0);
    const bool read = readBlock(file.get(), bytes.data(), bytes.size()) == FileResult::Done;
    const bool ok = read && set(bytes, fromUtf8(path));
    wipe(bytes.data(), bytes.size());
    if (!ok) return false;
    if (m_kind == AttachmentKind::File) {
        const SystemTime now = clock.localTime();
        SystemTime written{};
        if (!files.modifiedTime(path, &written)) written = now;
        setTimes(written, now);
    }
    return true;
}

void Attachment::clear() {
    if (hasData()) m_changed = true;
    wipeData();
    m_name.clear();
    m_scaleToFit = 0;
    m_type = 0;
    m_fileTime = SystemTime{};
    m_attachTime = SystemTime{};
}

std::size_t Attachment::payloadSize() const {
    if (!hasData()) return 0;
    return descriptorSize() + body::paddedDataSize(m_data.size()) + body::paddedTextSize(m_name.size() * 2);
}

bool Attachment::writePayload(const KeyRecord& key, std::vector<std::uint8_t>& out) const {
    const std::size_t size = payloadSize();
    if (size == 0 || size > std::numeric_limits<std::uint32_t>::max() || !key.active()) return false;
    const Layout& l = layoutOf(m_kind);
    const auto dataStored = static_cast<std::uint32_t>(body::paddedDataSize(m_data.size()));
    const auto nameStored = static_cast<std::uint32_t>(body::paddedTextSize(m_name.size() * 2));

    const std::size_t start = out.size();
    out.insert(out.end(), m_descriptor.begin(), m_descriptor.begin() + static_cast<std::ptrdiff_t>(l.descriptor));
    std::uint8_t* d = out.data() + start;
    switch (m_kind) {
        case AttachmentKind::Picture:
            putU32(d, kPicturePlacement, m_placement);
            putU32(d, kPictureScale, m_scaleToFit);
            putU32(d, kPictureType, m_type);
            break;
        case AttachmentKind::Sound:
            putU32(d, kSoundType, m_type);
            break;
        case AttachmentKind::File:
            putSystemTime(d, kFileTime, m_fileTime);
            putSystemTime(d, kAttachTime, m_attachTime);
            break;
    }
    putU32(d, l.dataStored, dataStored);
    putU32(d, l.dataPadding, dataStored - static_cast<std::uint32_t>(m_data.size()));
    putU32(d, l.nameStored, nameStored);
    putU32(d, l.namePadding, nameStored - static_cast<std::uint32_t>(m_name.size() * 2));
    const bool ok = body::appendEnciphered(out, m_data.data(), m_data.size(), dataStored, key) &&
                    body::appendText(out, m_name, key);
    if (!ok) out.resize(start);
    return ok;
}

bool Attachment::readPayload(const std::uint8_t* payload, std::size_t size, const KeyRecord& key) {
    const Layout& l = layoutOf(m_kind);
    if (size < l.descriptor || !key.active()) return false;
    const std::uint8_t* d = payload;
    body::PayloadReader reader(payload + l.descriptor, size - l.descriptor);
    Attachment read(m_kind);
    std::copy(d, d + l.descriptor, read.m_descriptor.begin());
    if (!reader.takeData(getU32(d, l.dataStored), getU32(d, l.dataPadding), key, &read.m_data) ||
        !reader.takeText(getU32(d, l.nameStored), getU32(d, l.namePadding), key, &read.m_name)) {
        return false;
    }
    read.m_name.resize(cutText(read.m_name, kMaxName).size());
    switch (m_kind) {
        case AttachmentKind::Picture:
            read.m_placement = getU32(d, kPicturePlacement);
            read.m_scaleToFit = getU32(d, kPictureScale);
            read.m_type = getU32(d, kPictureType);
            break;
        case AttachmentKind::Sound:
            read.m_type = getU32(d, kSoundType);
            break;
        case AttachmentKind::File:
            read.m_fileTime = getSystemTime(d, kFileTime);
            read.m_attachTime = getSystemTime(d, kAttachTime);
            break;
    }
    wipeData();
    *this = std::move(read);
    return true;
}

void Attachment::wipeData() {
    wipe(m_data.data(), m_data.size());
    m_data.clear();
}

}  // namespace tw
