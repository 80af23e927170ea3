// Writes the sample files into a folder: tw_make_samples FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "samples/Samples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tw_make_samples FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "tw_make_samples: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const tw::samples::Sample& sample : tw::samples::allSamples()) {
        const std::vector<std::uint8_t> bytes = sample.make();
        const std::filesystem::path path = folder / sample.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (bytes.empty() || !out) {
            std::fprintf(stderr, "tw_make_samples: %s could not be made\n", sample.fileName);
            std::filesystem::remove(path, error);
            return 1;
        }
    }
    return 0;
}
