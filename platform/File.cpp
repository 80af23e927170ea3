#include "platform/File.h"

namespace tw {
namespace {

template <typename Call>
FileResult transfer(File* file, bool haveBuffer, std::size_t count, std::size_t* transferred, Call call) {
    if (!haveBuffer) return FileResult::NoBuffer;
    if (file == nullptr) return FileResult::NoFile;
    if (transferred != nullptr) *transferred = 0;
    if (count == 0) return FileResult::Done;
    std::size_t done = 0;
    const bool ok = call(&done);
    if (transferred != nullptr) *transferred = done;
    if (!ok) return FileResult::CallFailed;
    if (done == 0) return FileResult::Nothing;
    if (done != count) return FileResult::Short;
    return FileResult::Done;
}

}  // namespace

FileResult readBlock(File* file, void* buffer, std::size_t count, std::size_t* transferred) {
    return transfer(file, buffer != nullptr, count, transferred,
                    [&](std::size_t* done) { return file->read(buffer, count, done); });
}

FileResult writeBlock(File* file, const void* buffer, std::size_t count, std::size_t* transferred) {
    return transfer(file, buffer != nullptr, count, transferred,
                    [&](std::size_t* done) { return file->write(buffer, count, done); });
}

}  // namespace tw
