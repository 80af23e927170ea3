#pragma once

#include <cstdint>

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/System.h"
#include "storage/KeyRecord.h"

namespace tw {

// Result of a re-encipher pass. The values are fixed: callers report them by number.
enum class ReencryptResult : int {
    Done = 0,               // the end of the file was reached; everything re-enciphered
    OutOfMemory = 1,        // a record could not be held
    HeaderUnreadable = 2,   // a record (header, icon data or body bytes) could not be read
    HeaderWriteFailed = 3,  // a record (header, icon data or body bytes) could not be written
    BodyTooShort = 4,       // a card body of 1 to 63 bytes
    DisplayReadFailed = 5,  // the card's display block could not be read
    DisplayShort = 6,       // ... or was short
    FieldDescriptorShort = 7,
    FieldNameWriteFailed = 10,
    FieldNameNoBuffer = 11,
    FieldNameNoSecondBuffer = 12,
    FieldNameReadFailed = 13,
    FieldValueWriteFailed = 20,
    FieldValueNoBuffer = 21,
    FieldValueNoSecondBuffer = 22,
    FieldValueReadFailed = 23,
    FieldListWriteFailed = 30,
    FieldListNoBuffer = 31,
    FieldListNoSecondBuffer = 32,
    FieldListReadFailed = 33,
    PictureDescriptorShort = 40,
    PictureNoBuffer = 41,
    PictureNoSecondBuffer = 42,
    PictureReadFailed = 43,
    PictureWriteFailed = 44,
    PictureNameReadFailed = 45,
    PictureNameNoBuffer = 46,
    PictureNameNoSecondBuffer = 47,
    PictureNameWriteFailed = 48,
    SoundDescriptorShort = 50,
    SoundNoBuffer = 51,
    SoundNoSecondBuffer = 52,
    SoundReadFailed = 53,
    SoundWriteFailed = 54,
    SoundNameReadFailed = 55,
    SoundNameNoBuffer = 56,
    SoundNameNoSecondBuffer = 57,
    SoundNameWriteFailed = 58,
    FileDescriptorShort = 60,
    FileNoBuffer = 61,
    FileNoSecondBuffer = 62,
    FileReadFailed = 63,
    FileWriteFailed = 64,
    FileNameReadFailed = 65,
    FileNameNoBuffer = 66,
    FileNameNoSecondBuffer = 67,
    FileNameWriteFailed = 68,
};

// What one pass met.
struct ReencryptStats {
    std::uint32_t folders = 0;
    std::uint32_t fileAttachments = 0;
    std::uint32_t cards = 0;
    std::uint32_t fields = 0;
    std::uint32_t sounds = 0;
    std::uint32_t pictures = 0;
    std::uint32_t formsFolders = 0;
    std::uint32_t largestData = 0;  // the longest data part met (padding included)
    friend bool operator==(const ReencryptStats&, const ReencryptStats&) = default;
};

// Where a long pass tells how far it got: a progress bar in the GUI, a bar on the terminal in
// tmpro, a recorder in tests.
class UpgradeProgress {
public:
    virtual ~UpgradeProgress() = default;
    // `done` bytes of the `total` bytes of the file are behind. Called before each record
    // header is read, again once it was read, before each sub-record, and before each block of
    // a data part.
    virtual void update(std::uint64_t done, std::uint64_t total) = 0;
    // The pass ended, whatever its result: the bar goes to its end.
    virtual void finish() {}
};

// Data parts (pictures, sounds, attached files) are streamed in blocks of this size.
constexpr std::size_t kReencryptBlock = 128 * 1024;
// The pass reads the old file and writes the new one through buffers of this size.
constexpr std::size_t kReencryptChunk = 1024 * 1024;

// Everything a pass works with. The old key deciphers, the new key enciphers.
struct ReencryptContext {
    File& in;
    File& out;
    const KeyRecord& oldKey;
    const KeyRecord& newKey;
    System& system;  // each progress report is followed by a pause of 10 ms
    SystemTime now;  // change time of every re-enciphered record
    UpgradeProgress* progress = nullptr;
    ReencryptStats stats;
    // A password change re-enciphers what is live: deletion markers are carried as they are, and
    // so is a card body too short to hold its display block (else BodyTooShort ends the pass).
    // Data parts are re-enciphered over their unpadded bytes, as the card writer enciphers them.
    bool passwordChange = false;
    // Reads of at least this many bytes fill the input buffer, and writes are gathered into an
    // output buffer of this size, so the file is met with few large calls. 0: every item is read
    // and written with its own call, straight from and to the files.
    std::size_t chunk = kReencryptChunk;
};

// Copies every record of `in`, from its current position (REQUIRES: the first record) to the
// end of the file, to the current position of `out`, re-enciphering each enciphered item from the
// old key to the new one: every record's name (stored as a new name: change bit 0x04 and the
// change time `now`) and, in card bodies, the name, value and list of each field and the data and
// name of the picture, the sound and each attached file. Data parts go through two RC4 streams
// carried from block to block, so they are never held whole. Everything else is copied as it is;
// so is a sub-record whose inner sizes do not fit it (the card reader leaves such an item out),
// which keeps every record's length. `in` is never written. Stops at the first failure with its
// code; what was written to `out` by then is for the caller to throw away. A read or write call
// that fails gives the code of the item whose bytes it was to bring or take, whether it was made
// for that item alone or fills or empties a buffer.
ReencryptResult reencryptPass(ReencryptContext& context);

}  // namespace tw
