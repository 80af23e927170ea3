#include "app/WalletFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "platform/Text.h"

namespace tw::app {

namespace {

constexpr int kFirstCopyNumber = 2;
constexpr int kLastCopyNumber = 32;
constexpr std::size_t kMaxFileNameBytes = 255;

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The extension of a file name with its dot ("" when none), and the name without it.
std::pair<std::string, std::string> splitExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0) return {fileName, {}};
    return {fileName.substr(0, dot), fileName.substr(dot)};
}

std::pair<std::string, std::string> splitFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

std::string join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// What one place's worker found; shared with the waiting caller so a late worker never writes
// into freed memory.
struct PlaceScan {
    std::vector<WalletEntry> found;
    bool done = false;
    bool bounded = false;
};

struct ScanShared {
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<PlaceScan> places;
};

void scanFolder(const std::string& folder, int depth, const ScanLimits& limits, bool removable, std::size_t& entries,
                std::vector<WalletEntry>& found, bool& bounded) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> subFolders;
    while (dirent* e = ::readdir(dir)) {
        if (++entries > limits.maxEntries) {
            bounded = true;
            break;
        }
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        const std::string path = join(folder, name);
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
            // A linked folder is not followed: it could lead round in a circle.
            if (e->d_type == DT_LNK && type == DT_DIR) continue;
        }
        if (type == DT_DIR) {
            if (depth < limits.maxDepth) subFolders.push_back(path);
            continue;
        }
        if (type != DT_REG) continue;
        const auto [stem, ext] = splitExtension(name);
        const std::string lowered = lowerAscii(ext);
        if (lowered != ".tm5" && lowered != ".wal") continue;
        // A wallet reached through a link is listed once, under its own name.
        const std::string canonical = canonicalPath(path);
        const std::string ownName = splitExtension(splitFolder(canonical).second).first;
        found.push_back(WalletEntry{canonical, fromUtf8(ownName), lowered == ".wal", removable});
    }
    ::closedir(dir);
    std::sort(subFolders.begin(), subFolders.end());
    for (const std::string& sub : subFolders) {
        if (bounded) return;
        scanFolder(sub, depth + 1, limits, removable, entries, found, bounded);
    }
}

}  // namespace

std::string canonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string out(resolved);
    std::free(resolved);
    return out;
}

std::string errorText(int error) {
    return std::strerror(error);
}

void sortWallets(std::vector<WalletEntry>& wallets) {
    std::stable_sort(wallets.begin(), wallets.end(), [](const WalletEntry& a, const WalletEntry& b) {
        if (a.older != b.older) return !a.older;
        const int c = compareNoCase(a.name, b.name);
        if (c != 0) return c < 0;
        return a.path < b.path;
    });
}

ScanResult scanWallets(const std::vector<ScanPlace>& places, const ScanLimits& limits) {
    auto shared = std::make_shared<ScanShared>();
    shared->places.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        std::thread([shared, i, place = places[i], limits] {
            std::vector<WalletEntry> found;
            std::size_t entries = 0;
            bool bounded = false;
            scanFolder(place.folder, 0, limits, place.removable, entries, found, bounded);
            const std::lock_guard lock(shared->mutex);
            shared->places[i].found = std::move(found);
            shared->places[i].bounded = bounded;
            shared->places[i].done = true;
            shared->finished.notify_all();
        }).detach();
    }
    ScanResult result;
    std::unique_lock lock(shared->mutex);
    const auto deadline = std::chrono::steady_clock::now() + limits.timeLimit;
    shared->finished.wait_until(lock, deadline, [&] {
        return std::all_of(shared->places.begin(), shared->places.end(), [](const PlaceScan& p) { return p.done; });
    });
    std::set<std::string> seen;
    for (std::size_t i = 0; i < places.size(); ++i) {
        PlaceScan& scan = shared->places[i];
        if (!scan.done || scan.bounded) result.unfinished.push_back(places[i].folder);
        if (!scan.done) continue;
        for (WalletEntry& entry : scan.found) {
            if (seen.insert(entry.path).second) result.wallets.push_back(std::move(entry));
        }
    }
    lock.unlock();
    sortWallets(result.wallets);
    return result;
}

std::vector<std::string> removableMounts(std::string_view mountTable) {
    std::vector<std::string> mounts;
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        std::string decoded;
        for (std::size_t i = 0; i < point.size(); ++i) {
            if (point[i] == '\\' && i + 3 < point.size() && point[i + 1] >= '0' && point[i + 1] <= '3') {
                decoded +=
                    static_cast<char>((point[i + 1] - '0') * 64 + (point[i + 2] - '0') * 8 + (point[i + 3] - '0'));
                i += 3;
            } else {
                decoded += point[i];
            }
        }
        if (decoded.rfind("/media/", 0) == 0 || decoded.rfind("/run/media/", 0) == 0) mounts.push_back(decoded);
    }
    return mounts;
}

std::vector<std::string> removableMounts() {
    std::ifstream in("/proc/self/mounts");
    if (!in) return {};
    std::stringstream text;
    text << in.rdbuf();
    return removableMounts(text.str());
}

NameCheck checkWalletName(std::u16string_view name, std::string_view extension) {
    if (name.empty()) return NameCheck::Empty;
    if (name.find_first_of(u"\\/:*?\"<>|") != std::u16string_view::npos) return NameCheck::ForbiddenChar;
    if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; }))
        return NameCheck::ControlChar;
    if (name == u"." || name == u"..") return NameCheck::Dots;
    if (toUtf8(name).size() + extension.size() > kMaxFileNameBytes) return NameCheck::TooLong;
    return NameCheck::Ok;
}

NewPath newWalletPath(const std::string& folder, std::u16string_view name, bool createFolder) {
    if (createFolder && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {NewPathResult::NoFolder, {}};
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {NewPathResult::NoFolder, {}};
    const std::string path = join(folder, toUtf8(name) + ".tm5");
    // Only a name that is certainly free is taken: any other answer than "no such file" refuses.
    if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return {NewPathResult::Exists, path};
    return {NewPathResult::Ok, path};
}

FileOutcome copyWallet(const std::string& path) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return {false, errno, {}};
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(in);
        return {false, error, {}};
    }
    const auto [folder, fileName] = splitFolder(path);
    const auto [stem, ext] = splitExtension(fileName);
    int out = -1;
    std::string target;
    int error = EEXIST;
    for (int n = kFirstCopyNumber; n <= kLastCopyNumber; ++n) {
        target = join(folder, stem + "(" + std::to_string(n) + ")" + ext);
        out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out >= 0) break;
        error = errno;
        if (error != EEXIST) break;
    }
    if (out < 0) {
        ::close(in);
        return {false, error, {}};
    }
    bool ok = true;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t written = 0; ok && written < got;) {
            const ssize_t w = ::write(out, buffer + written, static_cast<std::size_t>(got - written));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            written += w;
        }
        if (!ok) break;
    }
    if (ok) {
        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (::fchown(out, st.st_uid, st.st_gid) != 0) (void)::fchown(out, static_cast<uid_t>(-1), st.st_gid);
        ok = ::fchmod(out, st.st_mode & 07777) == 0 && ::fsync(out) == 0;
    }
    if (!ok) error = errno ? errno : EIO;
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(target.c_str());
        return {false, error, {}};
    }
    return {true, 0, target};
}

FileOutcome deleteWallet(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {false, errno, {}};
    if (S_ISDIR(st.st_mode)) return {false, EISDIR, {}};
    if (::unlink(path.c_str()) != 0) return {false, errno, {}};
    return {true, 0, path};
}

FileOutcome renameWallet(const std::string& path, std::u16string_view newName, std::u16string* mru) {
    const auto [folder, fileName] = splitFolder(path);
    const auto [stem, ext] = splitExtension(fileName);
    if (checkWalletName(newName, ext) != NameCheck::Ok) return {false, EINVAL, {}};
    const std::string target = join(folder, toUtf8(newName) + ext);
    if (target == path) return {true, 0, path};
    // Whether the last wallet names this one is decided before the old name is gone.
    const bool lastWallet = mru && !mru->empty() && canonicalPath(toUtf8(*mru)) == canonicalPath(path);
    // A link to the new name fails when it exists, so nothing is ever replaced.
    if (::link(path.c_str(), target.c_str()) == 0) {
        if (::unlink(path.c_str()) != 0) {
            const int error = errno;
            ::unlink(target.c_str());
            return {false, error, {}};
        }
    } else {
        const int error = errno;
        if (error == EEXIST) return {false, EEXIST, {}};
        // File systems without hard links (FAT on memory cards): check, then rename.
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0 || errno != ENOENT) return {false, EEXIST, {}};
        if (::rename(path.c_str(), target.c_str()) != 0) return {false, errno, {}};
    }
    if (lastWallet) *mru = fromUtf8(target);
    return {true, 0, target};
}

}  // namespace tw::app
