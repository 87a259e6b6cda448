#include "support/MixedFolder.h"

#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace pagesmith::bench {

namespace fs = std::filesystem;

namespace {

struct Kind {
    const char* name;
    std::uint16_t compression; // 0: not a TIFF file
    int bits;
    std::uint32_t group3Options;
    int pages;
};

// One in five files is not a TIFF file; Group 4 files are one in five, so the
// Group 4 filter keeps about a fifth.
constexpr Kind kKinds[] = {
    {"none", COMPRESSION_NONE, 8, 0, 1},
    {"pac", COMPRESSION_PACKBITS, 8, 0, 1},
    {"g31", COMPRESSION_CCITTFAX3, 1, 4, 1},
    {"g32", COMPRESSION_CCITTFAX3, 1, 5, 2},
    {"g4", COMPRESSION_CCITTFAX4, 1, 0, 1},
    {"g4m", COMPRESSION_CCITTFAX4, 1, 0, 3},
    {"lzw", COMPRESSION_LZW, 8, 0, 1},
    {"jpg", COMPRESSION_JPEG, 8, 0, 1},
    {"txt", 0, 0, 0, 0},
    {"bin", 0, 0, 0, 0},
};

bool writeSmallTiff(const std::string& path, const Kind& kind, unsigned seed) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    TIFF* tif = file.get();
    constexpr std::uint32_t width = 64, length = 64;
    const std::size_t rowBytes = kind.bits == 1 ? width / 8 : width;
    std::vector<std::uint8_t> row(rowBytes);
    for (int page = 0; page < kind.pages; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, kind.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     kind.bits == 1 ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, kind.compression);
        if (kind.compression == COMPRESSION_CCITTFAX3)
            TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, kind.group3Options);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kind.compression == COMPRESSION_JPEG ? 16 : 8);
        for (std::uint32_t y = 0; y < length; ++y) {
            for (std::size_t x = 0; x < rowBytes; ++x)
                row[x] = std::uint8_t((x * 13 + y * 7 + seed) >> (kind.bits == 1 ? 2 : 0));
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(tif))
            return false;
    }
    return true;
}

} // namespace

bool generateMixedFolder(const fs::path& folder, int files) {
    for (int i = 0; i < files; ++i) {
        const Kind& kind = kKinds[i % std::size(kKinds)];
        char name[64];
        std::snprintf(name, sizeof name, "f%05d-%s.%s", i, kind.name,
                      kind.compression ? "tif" : (i % 2 ? "tif" : "dat"));
        const std::string path = (folder / name).string();
        if (kind.compression) {
            if (!writeSmallTiff(path, kind, unsigned(i)))
                return false;
            continue;
        }
        std::ofstream out(path, std::ios::binary);
        for (int line = 0; line < 40; ++line)
            out << "not an image, line " << line << " of file " << i << '\n';
        if (!out)
            return false;
    }
    return true;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool parseFolderBenchOptions(int argc, char** argv, const char* program,
                             FolderBenchOptions& options) {
    bool valid = true;
    for (int i = 1; i < argc && valid; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--files") && hasValue)
            options.files = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--repeat") && hasValue)
            options.repeat = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--keep"))
            options.keep = true;
        else
            valid = false;
    }
    valid = valid && options.files > 0 && options.repeat > 0;
    if (!valid)
        std::fprintf(stderr, "usage: %s [--files N] [--repeat N] [--keep]\n", program);
    return valid;
}

} // namespace pagesmith::bench
