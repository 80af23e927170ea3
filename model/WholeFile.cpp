#include "model/WholeFile.h"

namespace tw {

WholeFileResult readWholeFile(FileSystem& files, const std::string& path, std::size_t maxBytes,
                              std::vector<std::uint8_t>* bytes) {
    bytes->clear();
    const std::unique_ptr<File> file = files.open(path, OpenMode::Read);
    if (!file) return WholeFileResult::CannotOpen;
    std::uint64_t size = 0;
    if (!file->size(&size)) return WholeFileResult::CannotRead;
    if (size == 0) return WholeFileResult::Empty;
    if (size > maxBytes) return WholeFileResult::TooLarge;

    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    std::size_t at = 0;
    // A read may transfer fewer bytes than asked; go on until the file is read or stops giving.
    while (at < data.size()) {
        std::size_t done = 0;
        const FileResult r = readBlock(file.get(), data.data() + at, data.size() - at, &done);
        if (r != FileResult::Done && r != FileResult::Short) return WholeFileResult::CannotRead;
        at += done;
    }
    *bytes = std::move(data);
    return WholeFileResult::Done;
}

}  // namespace tw
