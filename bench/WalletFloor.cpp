// The least work a wallet command can do, for the whole-process benchmark (tools/bench.sh):
//
//   WalletFloor tree WALLET PASSWORD   open the blocks, read every record header, decipher its name
//   WalletFloor find WALLET PASSWORD   also read every card body and decipher every field name and value
//
// The keystream is made once and each item is XORed with it as far as it goes (a name up to its
// terminator); the file is read in large chunks, skipping what a command does not look at.
// Prints a checksum of what was deciphered so that nothing can be left out.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "model/Field.h"
#include "platform/MemoryFile.h"
#include "platform/PosixFile.h"
#include "platform/Prompt.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace {

using namespace tw;

// Reads the file forward through one buffer: `need(n)` makes n bytes at `at()` available.
class Reader {
public:
    explicit Reader(int fd, std::uint64_t start) : m_fd(fd), m_base(start) { m_buf.resize(1 << 18); }
    const std::uint8_t* need(std::size_t n) {
        if (m_pos + n <= m_len) return m_buf.data() + m_pos;
        if (n > m_buf.size()) m_buf.resize(n);
        std::memmove(m_buf.data(), m_buf.data() + m_pos, m_len - m_pos);
        m_base += m_pos;
        m_len -= m_pos;
        m_pos = 0;
        while (m_len < n) {
            const ssize_t got =
                ::pread(m_fd, m_buf.data() + m_len, m_buf.size() - m_len, static_cast<off_t>(m_base + m_len));
            if (got <= 0) return nullptr;
            m_len += static_cast<std::size_t>(got);
        }
        return m_buf.data();
    }
    void skip(std::uint64_t n) {
        if (m_pos + n <= m_len) {
            m_pos += n;
            return;
        }
        m_base += m_pos + n;
        m_pos = 0;
        m_len = 0;
    }

private:
    int m_fd;
    std::uint64_t m_base;
    std::vector<std::uint8_t> m_buf;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
};

struct Keystream {
    explicit Keystream(const KeyRecord& key) : m_key(key) {}
    const std::uint8_t* get(std::size_t n) {
        if (n > m_bytes.size()) {
            std::vector<std::uint8_t> zeros(n, 0);
            m_bytes.resize(n);
            m_key.encipher(zeros.data(), n, m_bytes.data());
        }
        return m_bytes.data();
    }
    const KeyRecord& m_key;
    std::vector<std::uint8_t> m_bytes;
};

// Deciphers UTF-16LE text up to its terminator, adding every code unit to the checksum.
std::uint64_t text(const std::uint8_t* p, std::size_t bytes, Keystream& ks, std::u16string& out) {
    const std::uint8_t* k = ks.get(bytes);
    out.clear();
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const char16_t c = static_cast<char16_t>((p[i] ^ k[i]) | ((p[i + 1] ^ k[i + 1]) << 8));
        if (c == 0) break;
        out.push_back(c);
        sum += c;
    }
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: WalletFloor tree|find WALLET PASSWORD\n";
        return 2;
    }
    const std::string mode = argv[1];
    const bool find = mode == "find";
    PosixFileSystem files;
    SystemClock clock;
    OsRandom random;
    StringTable strings;
    ScriptedPrompt prompt;
    HostSystem system;
    Env env{files, clock, random, strings, prompt, system};
    WalletFile w(env);
    const std::u16string password = fromUtf8(argv[3]);
    if (w.open(argv[2], password, true) != OpenResult::Ok) {
        std::cerr << "WalletFloor: cannot open " << argv[2] << "\n";
        return 1;
    }
    const KeyRecord key = w.recordKey();
    w.close();

    const int fd = ::open(argv[2], O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 1;
    Reader in(fd, WalletFile::kFirstRecord);
    Keystream ks(key);
    std::u16string scratch;
    scratch.reserve(512);
    std::uint64_t sum = 0;
    std::uint64_t records = 0;
    for (;;) {
        const std::uint8_t* h = in.need(RecordHeader::kSize);
        if (h == nullptr) break;
        ++records;
        sum += text(h + RecordHeader::kName, RecordHeader::kNameSize, ks, scratch);
        const bool card = recordTypeOf(h) == RecordType::Card && getU32(h, RecordHeader::kDeletedMark) == 0;
        const std::uint32_t icon = getU32(h, RecordHeader::kIconLength);
        const std::uint32_t body = getU32(h, RecordHeader::kBodyLength);
        in.skip(RecordHeader::kSize + icon);
        if (!find || !card || body < 64) {
            in.skip(body);
            continue;
        }
        const std::uint8_t* b = in.need(body);
        if (b == nullptr) break;
        for (std::size_t at = 64; body - at >= 12;) {
            const std::uint32_t type = getU32(b, at + 4);
            const std::uint32_t length = getU32(b, at + 8);
            at += 12;
            if (length > body - at) break;
            if (type == 1 && length >= Field::kDescriptorSize) {
                const std::uint8_t* d = b + at;
                const std::uint32_t nameStored = getU32(d, Field::kNameStored);
                const std::uint32_t valueStored = getU32(d, Field::kValueStored);
                const std::uint8_t* items = d + Field::kDescriptorSize;
                if (Field::kDescriptorSize + std::uint64_t{nameStored} + valueStored <= length) {
                    sum += text(items, nameStored, ks, scratch);
                    sum += text(items + nameStored, valueStored, ks, scratch);
                }
            }
            at += length;
        }
        in.skip(body);
    }
    ::close(fd);
    wipe(scratch.data(), scratch.size() * sizeof(char16_t));
    std::cout << records << " records, checksum " << sum << "\n";
    return 0;
}
