// Writes the fuzzer's seed inputs into the folder named on the command line:
// small pages in every layout and codec the program reads, written with the
// fixtures the tests use, so mutations start from valid files.
#include "support/TiffFixtures.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using pagesmith::test::TestPage;

std::vector<std::pair<std::string, std::vector<TestPage>>> seeds() {
    using namespace pagesmith::test;
    TestPage grey;
    TestPage greyPackBits = grey;
    greyPackBits.compression = COMPRESSION_PACKBITS;
    TestPage fax3 = faxPage(64, 16, COMPRESSION_CCITTFAX3);
    fax3.group3Options = GROUP3OPT_2DENCODING;
    TestPage rle = faxPage(64, 16, COMPRESSION_CCITTRLE);
    TestPage jpeg = rgbPage(32, 16, COMPRESSION_JPEG);
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.jpegFromRgb = true;
    TestPage tiled = rgbPage(40, 30, COMPRESSION_LZW);
    tiled.tiled = true;
    TestPage separate = rgbPage(24, 12, COMPRESSION_NONE);
    separate.planar = PLANARCONFIG_SEPARATE;
    separate.rowsPerStrip = 4;
    TestPage palette;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.extraTags = [](TIFF* tif) {
        static std::vector<std::uint16_t> map(256);
        for (std::size_t i = 0; i < map.size(); ++i)
            map[i] = std::uint16_t(i * 257);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    };
    TestPage sixteen;
    sixteen.bitsPerSample = 16;
    TestPage greyAlpha;
    greyAlpha.samplesPerPixel = 2;
    greyAlpha.extraTags = [](TIFF* tif) {
        const std::uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &alpha);
    };
    TestPage cmyk = rgbPage(16, 16, COMPRESSION_NONE);
    cmyk.samplesPerPixel = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    // Kinds fax and JPEG take through their samples made 8-bit.
    TestPage palette4 = palette;
    palette4.bitsPerSample = 4;
    palette4.extraTags = [](TIFF* tif) {
        static std::vector<std::uint16_t> map(16);
        for (std::size_t i = 0; i < map.size(); ++i)
            map[i] = std::uint16_t(i * 4369);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    };
    TestPage floating;
    floating.bitsPerSample = 32;
    floating.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    };
    TestPage deepSeparate = separate;
    deepSeparate.bitsPerSample = 16;
    return {
        {"grey.tif", {grey}},
        {"grey-packbits.tif", {greyPackBits}},
        {"fax-g4.tif", {faxPage(64, 16), faxPage(32, 8)}},
        {"fax-g3-2d.tif", {fax3}},
        {"fax-rle.tif", {rle}},
        {"rgb-lzw.tif", {rgbPage(32, 16)}},
        {"rgb-jpeg.tif", {jpeg}},
        {"rgb-tiled.tif", {tiled}},
        {"rgb-separate.tif", {separate}},
        {"palette.tif", {palette}},
        {"grey-16.tif", {sixteen}},
        {"grey-alpha.tif", {greyAlpha}},
        {"cmyk.tif", {cmyk}},
        {"palette-4.tif", {palette4}},
        {"grey-float.tif", {floating}},
        {"rgb-16-separate.tif", {deepSeparate}},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, pages] : seeds())
        pagesmith::test::writeTiff(folder / name, pages);
    return 0;
}
