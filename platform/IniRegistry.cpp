#include "platform/IniRegistry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/IniFile.h"
#include "platform/LockFile.h"
#include "platform/Text.h"

namespace tw {

namespace {

// Names are escaped so that no group separator ('/' and '\', which QSettings treats alike) ends
// up inside one name; '@' stands for the default value's empty name; a lone '%' (which escaping
// never produces) is the entry that marks a key as existing.
constexpr std::u16string_view kMarker = u"%";
constexpr std::u16string_view kDefaultName = u"@";

std::u16string encodeName(std::u16string_view name) {
    if (name.empty()) return std::u16string(kDefaultName);
    std::u16string out;
    out.reserve(name.size());
    for (const char16_t c : name) {
        switch (c) {
            case u'%':
                out += u"%25";
                break;
            case u'/':
                out += u"%2F";
                break;
            case u'\\':
                out += u"%5C";
                break;
            case u'@':
                out += u"%40";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int hexDigit(char16_t u) {
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

std::u16string decodeName(std::u16string_view stored) {
    if (stored == kDefaultName) return {};
    std::u16string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char16_t c = stored[i];
        if (c == u'%' && i + 2 < stored.size()) {
            const int hi = hexDigit(stored[i + 1]);
            const int lo = hexDigit(stored[i + 2]);
            const int code = hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
            if (code == 0x25 || code == 0x2F || code == 0x5C || code == 0x40) {
                out.push_back(static_cast<char16_t>(code));
                i += 2;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

const char16_t kHex[] = u"0123456789abcdef";

std::u16string hexOf(const std::uint8_t* data, std::size_t size) {
    std::u16string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += kHex[data[i] >> 4];
        out += kHex[data[i] & 15];
    }
    return out;
}

bool parseHex(std::u16string_view text, std::vector<std::uint8_t>* out) {
    if (text.size() % 2 != 0 || text.size() / 2 > kRegistryMaxData) return false;
    out->clear();
    out->reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

// Text that the INI file keeps as it is: no NUL or other control characters beyond tab and line
// breaks (which are escaped), and no unpaired surrogates (which UTF-8 cannot carry).
bool isPlainText(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

std::u16string encodeValue(const RegistryValue& value) {
    switch (value.type) {
        case RegistryType::Dword: {
            std::u16string out = u"dword:";
            for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(value.dword >> shift) & 15];
            return out;
        }
        case RegistryType::String: {
            if (isPlainText(value.text)) return u"sz:" + value.text;
            std::vector<std::uint8_t> le;
            le.reserve(value.text.size() * 2);
            for (const char16_t c : value.text) {
                le.push_back(static_cast<std::uint8_t>(c & 0xFF));
                le.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            return u"sz16:" + hexOf(le.data(), le.size());
        }
        case RegistryType::Binary:
            return u"hex:" + hexOf(value.bytes.data(), value.bytes.size());
        case RegistryType::None:
            break;
    }
    return {};
}

bool startsWith(std::u16string_view s, std::u16string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::optional<RegistryValue> decodeValue(const IniValue& stored) {
    if (!stored.text) return std::nullopt;
    const std::u16string_view s = *stored.text;
    if (startsWith(s, u"dword:")) {
        const std::u16string_view digits = s.substr(6);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t n = 0;
        for (const char16_t c : digits) {
            const int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<std::uint32_t>(d);
        }
        return RegistryValue::ofDword(n);
    }
    if (startsWith(s, u"sz:")) {
        if (s.size() - 3 > kRegistryMaxData) return std::nullopt;
        return RegistryValue::ofString(std::u16string(s.substr(3)));
    }
    if (startsWith(s, u"sz16:")) {
        std::vector<std::uint8_t> le;
        if (!parseHex(s.substr(5), &le) || le.size() % 2 != 0) return std::nullopt;
        std::u16string text;
        for (std::size_t i = 0; i < le.size(); i += 2) text.push_back(static_cast<char16_t>(le[i] | (le[i + 1] << 8)));
        return RegistryValue::ofString(std::move(text));
    }
    if (startsWith(s, u"hex:")) {
        RegistryValue v;
        if (!parseHex(s.substr(4), &v.bytes)) return std::nullopt;
        v.type = RegistryType::Binary;
        return v;
    }
    return std::nullopt;
}

// The entries are QSettings' flat map: a group is every key that starts with its name and '/'.
std::u16string join(std::u16string_view group, std::u16string_view name) {
    std::u16string out(group);
    if (!out.empty()) out += u'/';
    out += name;
    return out;
}

// The names one level below `group`: the groups (keys with a further '/') or the plain keys.
std::vector<std::u16string> children(const IniEntries& entries, std::u16string_view group, bool groups) {
    const std::u16string prefix = group.empty() ? std::u16string() : std::u16string(group) + u'/';
    std::vector<std::u16string> names;
    for (auto it = entries.lower_bound(prefix); it != entries.end() && startsWith(it->first, prefix); ++it) {
        const std::u16string_view rest = std::u16string_view(it->first).substr(prefix.size());
        const std::size_t slash = rest.find(u'/');
        if (groups && slash != std::u16string_view::npos) {
            const std::u16string_view name = rest.substr(0, slash);
            if (names.empty() || names.back() != name) names.emplace_back(name);
        } else if (!groups && slash == std::u16string_view::npos && rest != kMarker && !rest.empty()) {
            names.emplace_back(rest);
        }
    }
    return names;
}

// The stored spelling of `name` among `stored` names, compared without regard to case.
std::optional<std::u16string> match(const std::vector<std::u16string>& stored, std::u16string_view name) {
    for (const std::u16string& candidate : stored) {
        if (equalNoCase(decodeName(candidate), name)) return candidate;
    }
    return std::nullopt;
}

std::vector<std::u16string> sortedNames(const std::vector<std::u16string>& stored) {
    std::vector<std::u16string> names;
    names.reserve(stored.size());
    for (const std::u16string& s : stored) names.push_back(decodeName(s));
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return compareNoCase(a, b) < 0; });
    return names;
}

// The group of an existing key, or nullopt.
std::optional<std::u16string> resolve(const IniEntries& entries, std::u16string_view path) {
    const auto parts = splitRegistryPath(path);
    if (!parts) return std::nullopt;
    std::u16string group;
    for (const auto& part : *parts) {
        const auto stored = match(children(entries, group, true), part);
        if (!stored) return std::nullopt;
        group = join(group, *stored);
    }
    return group;
}

// What a change did: nothing to store (and the call fails or succeeds), or a change to store.
enum class Change { Failed, Unchanged, Changed };

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    std::int64_t modified = 0;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> idOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino, st.st_size,
                  static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool readWhole(const std::string& path, std::string* out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out->clear();
    char buffer[16384];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) out->append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return n == 0;
}

// Replaces the file at once (a reader sees the old file or the new one, never a part), keeping
// the permissions of the file it replaces; a new file is readable by its owner only.
bool replaceWhole(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    struct stat old {};
    bool ok = ::stat(path.c_str(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

struct IniRegistry::Impl {
    struct Hive {
        std::string path;
        IniEntries entries;
        std::optional<FileId> id;  // of the file the entries were read from; nullopt: none read
        bool loaded = false;
        bool dirty = false;  // holds changes that could not be stored

        // Picks up changes other processes stored since the last call, unless this object holds
        // changes of its own that are still to be stored.
        void refresh() {
            if (dirty) return;
            const auto now = idOf(path);
            if (loaded && now == id) return;
            std::string bytes;
            entries = now && readWhole(path, &bytes) ? parseIniFile(bytes) : IniEntries{};
            id = now;
            loaded = true;
        }

        bool store() {
            if (!replaceWhole(path, writeIniFile(entries))) return false;
            id = idOf(path);
            dirty = false;
            return true;
        }

        // Applies `change` to the entries as stored now and stores the result, under the file's
        // lock so that changes of other processes in between are not lost.
        template <typename F>
        bool update(F&& change) {
            LockFile lock(path + ".lock");
            const bool locked = lock.lock();
            if (locked) refresh();
            const Change result = change(entries);
            if (result == Change::Failed) return false;
            if (result == Change::Unchanged && !dirty) return true;
            dirty = true;
            return locked && store();
        }
    };

    Hive currentUser;
    Hive classesRoot;

    explicit Impl(const std::string& folder) {
        currentUser.path = folder + "/registry-hkcu.ini";
        classesRoot.path = folder + "/registry-hkcr.ini";
    }

    Hive& hive(RegistryRoot root) {
        Hive& h = root == RegistryRoot::CurrentUser ? currentUser : classesRoot;
        h.refresh();
        return h;
    }
    Hive& unread(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? currentUser : classesRoot; }
};

IniRegistry::IniRegistry(std::string folder)
    : m_folder(folder.empty() ? defaultFolder() : std::move(folder)), m_impl(std::make_unique<Impl>(m_folder)) {
    std::error_code ignored;
    std::filesystem::create_directories(m_folder, ignored);
}

IniRegistry::~IniRegistry() = default;

std::string IniRegistry::defaultFolder() {
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw != nullptr ? pw->pw_dir : "/";
        }
        base = std::string(home) + "/.config";
    }
    return base + "/halvorsgarden";
}

bool IniRegistry::createKey(RegistryRoot root, std::u16string_view path, bool* created) {
    if (created) *created = false;
    const auto parts = splitRegistryPath(path);
    if (!parts) return false;
    bool made = false;
    const bool ok = m_impl->unread(root).update([&](IniEntries& entries) {
        std::u16string group;
        made = false;
        for (const auto& part : *parts) {
            if (const auto stored = match(children(entries, group, true), part)) {
                group = join(group, *stored);
                continue;
            }
            group = join(group, encodeName(part));
            entries[join(group, kMarker)] = IniValue{std::u16string(), {}};
            made = true;
        }
        return made ? Change::Changed : Change::Unchanged;
    });
    if (ok && created) *created = made;
    return ok;
}

bool IniRegistry::openKey(RegistryRoot root, std::u16string_view path) {
    return resolve(m_impl->hive(root).entries, path).has_value();
}

bool IniRegistry::deleteKey(RegistryRoot root, std::u16string_view path) {
    if (path.empty()) return false;
    return m_impl->unread(root).update([&](IniEntries& entries) {
        const auto group = resolve(entries, path);
        if (!group) return Change::Failed;
        const std::u16string prefix = *group + u'/';
        for (auto it = entries.lower_bound(*group); it != entries.end();) {
            if (it->first == *group || startsWith(it->first, prefix))
                it = entries.erase(it);
            else if (it->first.compare(0, group->size(), *group) != 0)
                break;
            else
                ++it;
        }
        return Change::Changed;
    });
}

std::vector<std::u16string> IniRegistry::subKeys(RegistryRoot root, std::u16string_view path) {
    const IniEntries& entries = m_impl->hive(root).entries;
    const auto group = resolve(entries, path);
    return group ? sortedNames(children(entries, *group, true)) : std::vector<std::u16string>{};
}

std::vector<std::u16string> IniRegistry::valueNames(RegistryRoot root, std::u16string_view path) {
    const IniEntries& entries = m_impl->hive(root).entries;
    const auto group = resolve(entries, path);
    return group ? sortedNames(children(entries, *group, false)) : std::vector<std::u16string>{};
}

std::optional<RegistryValue> IniRegistry::readValue(RegistryRoot root, std::u16string_view path,
                                                    std::u16string_view name) {
    const IniEntries& entries = m_impl->hive(root).entries;
    const auto group = resolve(entries, path);
    if (!group) return std::nullopt;
    const auto stored = match(children(entries, *group, false), name);
    if (!stored) return std::nullopt;
    return decodeValue(entries.at(join(*group, *stored)));
}

bool IniRegistry::writeValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                             const RegistryValue& value) {
    if (!isStorableRegistryValue(name, value)) return false;
    return m_impl->unread(root).update([&](IniEntries& entries) {
        const auto group = resolve(entries, path);
        if (!group) return Change::Failed;
        const auto stored = match(children(entries, *group, false), name);
        IniValue& slot = entries[join(*group, stored ? *stored : encodeName(name))];
        IniValue encoded{encodeValue(value), {}};
        if (slot == encoded) return Change::Unchanged;
        slot = std::move(encoded);
        return Change::Changed;
    });
}

bool IniRegistry::deleteValue(RegistryRoot root, std::u16string_view path, std::u16string_view name) {
    return m_impl->unread(root).update([&](IniEntries& entries) {
        const auto group = resolve(entries, path);
        if (!group) return Change::Failed;
        const auto stored = match(children(entries, *group, false), name);
        if (!stored) return Change::Failed;
        entries.erase(join(*group, *stored));
        return Change::Changed;
    });
}

bool IniRegistry::flush() {
    bool ok = true;
    for (Impl::Hive* h : {&m_impl->currentUser, &m_impl->classesRoot}) {
        if (!h->dirty) continue;
        LockFile lock(h->path + ".lock");
        ok = lock.lock() && h->store() && ok;
    }
    return ok;
}

}  // namespace tw
