// tw_mklang: combines the source files of one language into its language module.
//
//   tw_mklang <language id, 4 hex digits> <output .mui> <source .txt>...
//
// Every fault is reported as "file:line: error: ..." and makes the run fail without leaving an
// output file: a bad line, or a string id given twice in the language (in one file or in two).

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "platform/LanguageFile.h"
#include "platform/PosixFile.h"

namespace {

struct Origin {
    std::string file;
    std::size_t line;
};

bool parseLanguageId(const std::string& text, std::uint16_t* id) {
    if (text.size() != 4) return false;
    unsigned value = 0;
    for (const char c : text) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (d < 0) return false;
        value = value * 16 + static_cast<unsigned>(d);
    }
    *id = static_cast<std::uint16_t>(value);
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint16_t language = 0;
    if (argc < 4 || !parseLanguageId(argv[1], &language)) {
        std::fprintf(stderr, "usage: tw_mklang <language id, 4 hex digits> <output .mui> <source .txt>...\n");
        return 2;
    }
    const std::string output = argv[2];
    std::remove(output.c_str());

    tw::PosixFileSystem files;
    std::map<std::uint32_t, std::u16string> texts;
    std::map<std::uint32_t, Origin> origins;
    int errors = 0;
    for (int i = 3; i < argc; ++i) {
        const std::string path = argv[i];
        std::string bytes;
        if (tw::readLanguageBytes(files, path, &bytes) != tw::LanguageLoad::Loaded) {
            std::fprintf(stderr, "%s: error: cannot read the file (missing, unreadable or over %zu bytes)\n",
                         path.c_str(), tw::kLanguageFileMaxBytes);
            ++errors;
            continue;
        }
        tw::LanguageTexts parsed = tw::parseLanguageSource(bytes);
        for (const auto& issue : parsed.issues) {
            std::fprintf(stderr, "%s:%zu: error: %s\n", path.c_str(), issue.line, issue.message.c_str());
            ++errors;
        }
        for (auto& [id, text] : parsed.texts) {
            const std::size_t line = parsed.lines[id];
            const auto [it, fresh] = origins.emplace(id, Origin{path, line});
            if (!fresh) {
                std::fprintf(stderr, "%s:%zu: error: duplicate id %u (also at %s:%zu)\n", path.c_str(), line,
                             static_cast<unsigned>(id), it->second.file.c_str(), it->second.line);
                ++errors;
                continue;
            }
            texts.emplace(id, std::move(text));
        }
    }
    if (errors > 0) {
        std::fprintf(stderr, "tw_mklang: %d error(s); %s not written\n", errors, output.c_str());
        return 1;
    }
    if (!writeFile(output, tw::writeLanguageModule(language, texts))) {
        std::fprintf(stderr, "tw_mklang: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
