#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/File.h"
#include "storage/KeyRecord.h"

namespace tw {

// The three forms of attachment; the values are the card body's sub-record types.
enum class AttachmentKind : std::uint32_t { Picture = 3, Sound = 4, File = 6 };

// A picture, a sound or a file attached to a card: a data block, the name of the file it came
// from, and a few values by form. An attachment without data is empty and is not stored.
// The data is wiped when the attachment lets go of it.
//
// Sub-record payloads: a fixed descriptor, then the data and the name, each zero-padded, each
// enciphered by itself under the record key (the data as one stream).
//   picture (48): 0 placement, 4 reserved, 8 scale-to-fit, 12 picture type, 16 data stored size,
//                 20 data padding, 24 name stored size, 28 name padding, 32 reserved (16)
//   sound   (32): 0 sound type, 4 reserved, 8 data stored size, 12 data padding,
//                 16 name stored size, 20 name padding, 24 reserved (8)
//   file    (68): 0 reserved, 4 SYSTEMTIME file time, 20 SYSTEMTIME attach time,
//                 36 data stored size, 40 data padding, 44 name stored size, 48 name padding,
//                 52 reserved (16)
class Attachment {
public:
    static constexpr std::size_t kMaxName = 259;  // characters kept of a name
    // Largest data block taken; with its descriptor, padding and name it must still fit the
    // format's 32-bit sizes.
    static constexpr std::size_t kMaxData = 0xFFF00000u;
    static constexpr std::uint32_t kDefaultPlacement = 9;
    static constexpr std::uint32_t kPictureUnknown = 0;
    static constexpr std::uint32_t kPictureBitmap = 1;
    static constexpr std::uint32_t kPictureJpeg = 2;
    static constexpr std::uint32_t kPictureGif = 3;
    static constexpr std::uint32_t kSoundWave = 1;

    explicit Attachment(AttachmentKind kind) : m_kind(kind) {}
    Attachment(const Attachment&) = default;
    Attachment(Attachment&&) noexcept = default;
    Attachment& operator=(const Attachment&) = default;
    Attachment& operator=(Attachment&&) noexcept = default;
    ~Attachment() { wipeData(); }

    AttachmentKind kind() const { return m_kind; }
    std::size_t descriptorSize() const;

    bool hasData() const { return !m_data.empty(); }
    // The data without padding.
    const std::vector<std::uint8_t>& data() const { return m_data; }
    // The name of the file it came from, without folders.
    const std::u16string& name() const { return m_name; }
    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // Picture: placement code 1-10 (kept through set and clear), scale-to-fit flag, picture type.
    // Sound: `type()` is the sound type. File attachments have no type.
    std::uint32_t placement() const { return m_placement; }
    // Values outside 1-10 become 9.
    void setPlacement(std::uint32_t placement);
    bool scaleToFit() const { return m_scaleToFit != 0; }
    void setScaleToFit(bool scale) { m_scaleToFit = scale ? 1 : 0; }
    std::uint32_t type() const { return m_type; }
    // Sets the type where it is known by other means than the name (an older wallet's picture).
    void setType(std::uint32_t type) { m_type = type; }

    // File attachment: the file's last-write time and the time it was attached.
    const SystemTime& fileTime() const { return m_fileTime; }
    const SystemTime& attachTime() const { return m_attachTime; }
    void setTimes(const SystemTime& fileTime, const SystemTime& attachTime);

    // Takes a copy of `data` (refused when empty or larger than kMaxData) and marks the change.
    // The name is `sourcePath` after its last "\" or "/", cut to 259 characters. Picture: the
    // placement is forced into 1-10 and the type comes from the name's extension (bmp 1; jpg,
    // jpeg 2; gif 3; others 0, without regard to case). Sound: type 1 for a name ending in ".wav"
    // (any case), else 0. With an empty path the type is `typeWhenNoPath`. File attachments
    // keep their times; see setTimes.
    bool set(std::span<const std::uint8_t> data, std::u16string_view sourcePath, std::uint32_t typeWhenNoPath = 0);
    // Reads the whole file at `path` (UTF-8) through `files` and sets it as above. For a file
    // attachment also takes the file's last-write time (the attach time when it has none) and
    // stamps the attach time with the clock's local time. Fails, leaving the attachment as it
    // was, when the file cannot be opened or sized, is empty or too large, or reads short.
    bool setFromFile(FileSystem& files, const std::string& path, Clock& clock);
    // Drops the data, name, type, flag and times (the placement stays); marks the change when
    // there was data.
    void clear();

    // Sub-record payload size; 0 when there is no data (nothing is stored then).
    std::size_t payloadSize() const;
    // Appends the payload. False (nothing appended) when the key is inactive or the payload
    // would not fit the format's 32-bit sizes. The descriptor's reserved bytes are the ones read
    // (zero for a new attachment), through every change of the data.
    bool writePayload(const KeyRecord& key, std::vector<std::uint8_t>& out) const;
    // Replaces this attachment by the payload's, descriptor bytes included. Refuses (attachment unchanged) a payload
    // shorter than the descriptor, a data block or name that runs past the payload or whose
    // padding exceeds its stored size, and an inactive key. A longer name is cut to 259
    // characters. Clears the changed flag.
    bool readPayload(const std::uint8_t* payload, std::size_t size, const KeyRecord& key);

private:
    void wipeData();

    static constexpr std::size_t kMaxDescriptor = 68;

    AttachmentKind m_kind;
    std::array<std::uint8_t, kMaxDescriptor> m_descriptor{};  // as read; its reserved bytes are written back
    std::uint32_t m_placement = 0;
    std::uint32_t m_scaleToFit = 0;
    std::uint32_t m_type = 0;
    SystemTime m_fileTime{};
    SystemTime m_attachTime{};
    std::vector<std::uint8_t> m_data;
    std::u16string m_name;
    bool m_changed = false;
};

}  // namespace tw
