#pragma once

// Helpers of the pixel copy tests: the output directory the page set-up would
// write, one page copied the way the engine copies it, and damaged copies of
// fixture files.

#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/ReadAhead.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "tiff/TiffHandle.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace pagesmith {
class CoreBudget;
}

namespace pagesmith::test {

// The output side of a copy, besides the geometry it takes from the input.
struct OutputLayout {
    std::uint16_t compression = COMPRESSION_NONE;
    bool tiled = false;
    std::uint32_t rowsPerStrip = 0; // 0: the input's RowsPerStrip
    std::uint32_t tileWidth = 256;
    std::uint32_t tileLength = 256;
    int planar = -1; // -1: the input's
};

// A page of `bits`-bit samples with a photometric interpretation that fits them.
inline TestPage testPage(std::uint32_t width, std::uint32_t length, std::uint16_t bits,
                         std::uint16_t spp, std::uint16_t planar, std::uint16_t compression,
                         std::uint32_t rowsPerStrip = 16) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.bitsPerSample = bits;
    page.samplesPerPixel = spp;
    page.photometric = bits == 1 && spp == 1 ? PHOTOMETRIC_MINISWHITE
                       : spp == 3            ? PHOTOMETRIC_RGB
                       : spp == 4            ? PHOTOMETRIC_SEPARATED
                                             : PHOTOMETRIC_MINISBLACK;
    page.planar = planar;
    page.compression = compression;
    page.rowsPerStrip = rowsPerStrip;
    if (spp == 2)
        page.extraTags = [](TIFF* tif) {
            const std::uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        };
    return page;
}

inline TestPage tiled(TestPage page, std::uint32_t tileWidth, std::uint32_t tileLength) {
    page.tiled = true;
    page.tileWidth = tileWidth;
    page.tileLength = tileLength;
    return page;
}

inline OutputLayout toStrips(std::uint16_t compression, std::uint32_t rowsPerStrip = 0) {
    OutputLayout layout;
    layout.compression = compression;
    layout.rowsPerStrip = rowsPerStrip;
    return layout;
}

inline OutputLayout toTiles(std::uint16_t compression, std::uint32_t tileWidth,
                            std::uint32_t tileLength) {
    OutputLayout layout;
    layout.compression = compression;
    layout.tiled = true;
    layout.tileWidth = tileWidth;
    layout.tileLength = tileLength;
    return layout;
}

inline const char* routineName(CopyRoutine routine) {
    struct Named {
        CopyRoutine routine;
        const char* name;
    };
    static const Named names[] = {
        {copyRowsContig, "copyRowsContig"},
        {copyStripsDecoded, "copyStripsDecoded"},
        {copyRowsSeparateToSeparate, "copyRowsSeparateToSeparate"},
        {copyContigStripsToTiles, "copyContigStripsToTiles"},
        {copyContigTilesToStrips, "copyContigTilesToStrips"},
        {copyContigTilesToTiles, "copyContigTilesToTiles"},
        {copySeparateStripsToTiles, "copySeparateStripsToTiles"},
        {copySeparateTilesToStrips, "copySeparateTilesToStrips"},
        {copySeparateTilesToTiles, "copySeparateTilesToTiles"},
    };
    for (const Named& named : names)
        if (named.routine == routine)
            return named.name;
    return routine ? "an unknown routine" : "no routine";
}

// Writes the tags the page set-up writes for the input page: geometry,
// compression, photometric, planar configuration, strip or tile size, colour map.
inline void setUpOutputDirectory(TIFF* in, TIFF* out, const OutputLayout& layout) {
    std::uint32_t width = 0, length = 0;
    std::uint16_t bits = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE, planar = 1,
                  compression = 1;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    // A YCbCr JPEG input is read back as RGB.
    if (compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR) {
        TIFFSetField(in, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        photometric = PHOTOMETRIC_RGB;
    }

    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(out, TIFFTAG_COMPRESSION, layout.compression);
    const bool jpegRgb = layout.compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_RGB;
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, jpegRgb ? PHOTOMETRIC_YCBCR : photometric);
    if (layout.compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_2DENCODING);
    if (layout.compression == COMPRESSION_JPEG) {
        TIFFSetField(out, TIFFTAG_JPEGQUALITY, 75);
        TIFFSetField(out, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (layout.tiled) {
        TIFFSetField(out, TIFFTAG_TILEWIDTH, layout.tileWidth);
        TIFFSetField(out, TIFFTAG_TILELENGTH, layout.tileLength);
    } else {
        std::uint32_t rowsPerStrip = layout.rowsPerStrip;
        if (rowsPerStrip == 0 && !TIFFGetField(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip))
            rowsPerStrip = TIFFDefaultStripSize(out, 0);
        TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }
    TIFFSetField(out, TIFFTAG_PLANARCONFIG,
                 layout.planar < 0 ? planar : static_cast<std::uint16_t>(layout.planar));
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (TIFFGetField(in, TIFFTAG_COLORMAP, &red, &green, &blue))
        TIFFSetField(out, TIFFTAG_COLORMAP, red, green, blue);
}

struct CopyOutcome {
    CopyRoutine routine = nullptr;
    bool copied = false;
    bool directoryWritten = false;
};

// Copies page 0 of `input` into a new file `output` as the engine does: the
// output directory, the chosen routine run with the input page's ImageLength,
// ImageWidth and SamplesPerPixel (decoding ahead on spare cores of `cores`),
// then the directory written.
inline CopyOutcome copyPage(const std::filesystem::path& input, const std::filesystem::path& output,
                            const OutputLayout& layout, CoreBudget* cores = nullptr) {
    const ReadAhead ahead{cores, nullptr};
    CopyOutcome outcome;
    TiffHandle in = openPage(input);
    TiffHandle out(output.string(), "w");
    EXPECT_TRUE(in) << "cannot open " << input;
    EXPECT_TRUE(out) << "cannot create " << output;
    if (!in || !out)
        return outcome;
    setUpOutputDirectory(in.get(), out.get(), layout);
    std::uint32_t width = 0, length = 0;
    std::uint16_t bits = 1, spp = 1;
    TIFFGetField(in.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in.get(), TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(in.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(in.get(), TIFFTAG_SAMPLESPERPIXEL, &spp);
    outcome.routine = chooseCopyRoutine(in.get(), out.get(), bits, spp);
    if (!outcome.routine)
        return outcome;
    outcome.copied = outcome.routine(in.get(), out.get(), length, width, spp, &ahead);
    if (outcome.copied)
        outcome.directoryWritten = TIFFWriteDirectory(out.get()) != 0;
    return outcome;
}

// Expects the output's decoded samples to equal the input's, byte for byte.
inline void expectSamePixels(const std::filesystem::path& input,
                             const std::filesystem::path& output) {
    const DecodedPage a = readPage(input);
    const DecodedPage b = readPage(output);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.bitsPerSample, b.bitsPerSample);
    EXPECT_EQ(a.samplesPerPixel, b.samplesPerPixel);
    EXPECT_EQ(a.planar, b.planar);
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    const auto mismatch = std::mismatch(a.pixels.begin(), a.pixels.end(), b.pixels.begin());
    EXPECT_TRUE(mismatch.first == a.pixels.end())
        << "first differing byte at " << (mismatch.first - a.pixels.begin()) << " of "
        << a.pixels.size();
}

// A page, the output it goes to, and the routine that should take it.
struct RoundTrip {
    const char* name;
    TestPage input;
    OutputLayout output;
    CopyRoutine routine;
};

// Each input copied with copyPage: the expected routine, success, and the
// same decoded samples on both sides.
inline void expectLosslessRoundTrips(const std::vector<RoundTrip>& trips) {
    TempDir dir;
    for (const RoundTrip& trip : trips) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "in.tif", trip.input);
        const CopyOutcome outcome =
            copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output);
        EXPECT_STREQ(routineName(outcome.routine), routineName(trip.routine));
        EXPECT_TRUE(outcome.copied);
        EXPECT_TRUE(outcome.directoryWritten);
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");
    }
}

// One page for every routine, in the layouts it is chosen for.
inline std::vector<RoundTrip> onePagePerRoutine(std::uint32_t width, std::uint32_t length,
                                                std::uint16_t bits, std::uint16_t spp,
                                                std::uint16_t compression) {
    const std::uint16_t contig = PLANARCONFIG_CONTIG;
    const std::uint16_t separate = PLANARCONFIG_SEPARATE;
    auto page = [&](std::uint16_t planar) {
        return testPage(width, length, bits, spp, planar, compression, 16);
    };
    return {
        {"contiguous strips, other height", page(contig), toStrips(compression, 10),
         copyRowsContig},
        {"contiguous strips, same height", page(contig), toStrips(compression), copyStripsDecoded},
        {"separate strips", page(separate), toStrips(compression, 10), copyRowsSeparateToSeparate},
        {"contiguous strips to tiles", page(contig), toTiles(compression, 128, 32),
         copyContigStripsToTiles},
        {"contiguous tiles to strips", tiled(page(contig), 64, 16), toStrips(compression, 16),
         copyContigTilesToStrips},
        {"contiguous tiles to tiles", tiled(page(contig), 64, 16), toTiles(compression, 128, 32),
         copyContigTilesToTiles},
        {"separate strips to tiles", page(separate), toTiles(compression, 128, 32),
         copySeparateStripsToTiles},
        {"separate tiles to strips", tiled(page(separate), 64, 16), toStrips(compression, 16),
         copySeparateTilesToStrips},
        {"separate tiles to tiles", tiled(page(separate), 64, 16), toTiles(compression, 128, 32),
         copySeparateTilesToTiles},
    };
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Rewrites a file of one page, its directory first and its strips or tiles
// copied raw after it, so that cutting the file short leaves a readable
// directory whose strips run past the end. `damage` may change each strip's
// or tile's raw bytes (shorten them, flip some).
inline void rewriteDirectoryFirst(
    const std::filesystem::path& source, const std::filesystem::path& target,
    const std::function<void(std::uint32_t, std::vector<std::uint8_t>&)>& damage = {}) {
    TiffHandle in = openPage(source);
    TiffHandle out(target.string(), "w");
    ASSERT_TRUE(in && out);
    TIFF* src = in.get();
    TIFF* dst = out.get();
    std::uint32_t value32 = 0;
    std::uint16_t value16 = 0;
    for (ttag_t tag : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP,
                       TIFFTAG_TILEWIDTH, TIFFTAG_TILELENGTH, TIFFTAG_GROUP3OPTIONS})
        if (TIFFGetField(src, tag, &value32))
            TIFFSetField(dst, tag, value32);
    for (ttag_t tag : {TIFFTAG_BITSPERSAMPLE, TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_PHOTOMETRIC,
                       TIFFTAG_PLANARCONFIG, TIFFTAG_COMPRESSION, TIFFTAG_FILLORDER})
        if (TIFFGetField(src, tag, &value16))
            TIFFSetField(dst, tag, value16);
    ASSERT_TRUE(TIFFDeferStrileArrayWriting(dst));
    ASSERT_TRUE(TIFFCheckpointDirectory(dst));
    ASSERT_TRUE(TIFFSetDirectory(dst, 0));
    const bool tiled = TIFFIsTiled(src);
    const std::uint32_t count = tiled ? TIFFNumberOfTiles(src) : TIFFNumberOfStrips(src);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t size = TIFFGetStrileByteCount(src, i);
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(size));
        const tmsize_t got = tiled ? TIFFReadRawTile(src, i, raw.data(), tmsize_t(raw.size()))
                                   : TIFFReadRawStrip(src, i, raw.data(), tmsize_t(raw.size()));
        ASSERT_EQ(got, tmsize_t(raw.size()));
        if (damage)
            damage(i, raw);
        const tmsize_t put = tiled ? TIFFWriteRawTile(dst, i, raw.data(), tmsize_t(raw.size()))
                                   : TIFFWriteRawStrip(dst, i, raw.data(), tmsize_t(raw.size()));
        ASSERT_EQ(put, tmsize_t(raw.size()));
    }
    ASSERT_TRUE(TIFFForceStrileArrayWriting(dst));
}

// Overwrites a one-value SHORT or LONG entry of the first directory of a
// little-endian classic TIFF file: its value (a SHORT entry becomes LONG when
// the value needs it), and with `renameTo` its tag number (a private number
// hides the tag from libtiff).
inline void patchTag(const std::filesystem::path& path, std::uint16_t tag, std::uint32_t value,
                     std::uint16_t renameTo = 0) {
    std::vector<std::uint8_t> bytes = readBytes(path);
    auto get16 = [&](std::size_t at) {
        return std::uint16_t(bytes.at(at) | bytes.at(at + 1) << 8);
    };
    auto get32 = [&](std::size_t at) {
        return std::uint32_t(get16(at)) | std::uint32_t(get16(at + 2)) << 16;
    };
    ASSERT_EQ(get16(0), 0x4949) << "not a little-endian TIFF file";
    const std::size_t directory = get32(4);
    const std::uint16_t entries = get16(directory);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (get16(entry) != tag)
            continue;
        ASSERT_EQ(get32(entry + 4), 1u) << "tag " << tag << " has more than one value";
        std::uint16_t type = get16(entry + 2);
        ASSERT_TRUE(type == TIFF_SHORT || type == TIFF_LONG) << "tag " << tag;
        if (value > 0xFFFF && type == TIFF_SHORT) { // the value needs a LONG entry
            type = TIFF_LONG;
            bytes[entry + 2] = TIFF_LONG;
        }
        const int size = type == TIFF_SHORT ? 2 : 4;
        for (int b = 0; b < size; ++b)
            bytes[entry + 8 + b] = std::uint8_t(value >> (8 * b));
        if (renameTo != 0) {
            bytes[entry] = std::uint8_t(renameTo);
            bytes[entry + 1] = std::uint8_t(renameTo >> 8);
        }
        writeBytes(path, bytes);
        return;
    }
    FAIL() << "tag " << tag << " not found in " << path;
}

} // namespace pagesmith::test
