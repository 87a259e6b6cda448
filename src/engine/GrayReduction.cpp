#include "engine/GrayReduction.h"

#include "engine/ByteBuffer.h"
#include "engine/PageRows.h"
#include "engine/TagCopy.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace pagesmith {

namespace {

// Parts of 256; they sum to 257 so that white stays 255.
constexpr unsigned kRedWeight = 77;
constexpr unsigned kGreenWeight = 151;
constexpr unsigned kBlueWeight = 29;

inline std::uint8_t weigh(unsigned red, unsigned green, unsigned blue) {
    return std::uint8_t((kRedWeight * red + kGreenWeight * green + kBlueWeight * blue) >> 8);
}

using GrayTable = std::array<std::uint8_t, 256>;

// The grey of every palette index. Maps whose entries all stay below 256 were
// written with 8-bit values; the others are scaled down from 16 bits.
bool paletteGrays(TIFF* in, GrayTable& grays) {
    std::uint16_t* maps[3] = {nullptr, nullptr, nullptr};
    if (!TIFFGetField(in, TIFFTAG_COLORMAP, &maps[0], &maps[1], &maps[2]) || !maps[0] || !maps[1] ||
        !maps[2])
        return false;
    // Copies: the library's arrays belong to the input's directory.
    std::array<std::array<unsigned, 256>, 3> colours{};
    bool sixteenBit = false;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) {
            colours[c][i] = maps[c][i];
            sixteenBit = sixteenBit || maps[c][i] >= 256;
        }
    if (sixteenBit) {
        for (auto& colour : colours)
            for (int i = 255; i >= 0; --i)
                colour[i] = colour[i] * 255 / 65535;
    } else {
        TIFFWarningExtR(in, TIFFFileName(in), "Assuming 8-bit colormap");
    }
    for (int i = 0; i < 256; ++i)
        grays[i] = weigh(colours[0][i], colours[1][i], colours[2][i]);
    return true;
}

void writeScratchTags(TIFF* in, TIFF* scratch, std::uint32_t width, std::uint32_t length) {
    TIFFSetField(scratch, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(scratch, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(scratch, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(scratch, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(scratch, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    copyCommonTags(in, scratch);
    TIFFSetField(scratch, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(scratch, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(scratch, TIFFTAG_IMAGEDESCRIPTION, "tiff B&W operation");
    TIFFSetField(scratch, TIFFTAG_SOFTWARE, "tiff2bw");
    TIFFSetField(scratch, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(scratch, 0));
}

// How the grey of a row is had from the input.
enum class Source { RgbContig, RgbSeparate, Palette, Rgba };

// Fills `grey` for every row of the page and writes it to the scratch page.
int writeGrayRows(TIFF* scratch, std::uint32_t width, std::uint32_t length, Source source,
                  PageRowReader* rows, RgbaRowReader* rgba, const GrayTable& grays) {
    const ByteBuffer grey(std::max<std::size_t>(width, std::size_t(TIFFScanlineSize64(scratch))));
    if (!grey)
        return kGrayStopped;
    for (std::uint32_t row = 0; row < length; ++row) {
        std::uint8_t* out = grey.data();
        if (source == Source::Rgba) {
            const std::uint32_t* pixels = rgba->readRow(row);
            if (!pixels)
                return kGrayStopped;
            for (std::uint32_t x = 0; x < width; ++x)
                out[x] = weigh(TIFFGetR(pixels[x]), TIFFGetG(pixels[x]), TIFFGetB(pixels[x]));
        } else {
            if (!rows->readRow(row))
                return kGrayStopped;
            if (source == Source::RgbContig) {
                const std::uint8_t* rgb = rows->plane(0);
                for (std::uint32_t x = 0; x < width; ++x, rgb += 3)
                    out[x] = weigh(rgb[0], rgb[1], rgb[2]);
            } else if (source == Source::RgbSeparate) {
                const std::uint8_t* red = rows->plane(0);
                const std::uint8_t* green = rows->plane(1);
                const std::uint8_t* blue = rows->plane(2);
                for (std::uint32_t x = 0; x < width; ++x)
                    out[x] = weigh(red[x], green[x], blue[x]);
            } else {
                const std::uint8_t* indices = rows->plane(0);
                for (std::uint32_t x = 0; x < width; ++x)
                    out[x] = grays[indices[x]];
            }
        }
        if (TIFFWriteScanline(scratch, out, row, 0) < 0)
            return kGrayStopped;
    }
    return kGrayWritten;
}

} // namespace

int reduceToGray(TIFF* in, TIFF* scratch) {
    if (!in || !scratch)
        return kGrayRefused;

    std::uint16_t photometric = 0xFFFF;
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool ycbcr = photometric == PHOTOMETRIC_YCBCR;
    // YCbCr is taken too: libtiff can decode it to RGB.
    if (photometric != PHOTOMETRIC_RGB && photometric != PHOTOMETRIC_PALETTE && !ycbcr) {
        std::fprintf(stderr, "Bad photometric; can only handle RGB and Palette images.\n");
        return kGrayRefused;
    }
    std::uint16_t samplesPerPixel = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    // Palette pages carry one index per pixel, colour pages three samples; any
    // other count would have the rows read past their end.
    if (samplesPerPixel != (photometric == PHOTOMETRIC_PALETTE ? 1 : 3)) {
        std::fprintf(stderr, "Bad samples/pixel %u.\n", unsigned(samplesPerPixel));
        return kGrayRefused;
    }
    std::uint16_t bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (bitsPerSample != 8) {
        std::fprintf(stderr, " Sorry, only handle 8-bit samples.\n");
        return kGrayRefused;
    }

    std::uint32_t width = 0, length = 0;
    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);

    Source source = Source::RgbContig;
    GrayTable grays{};
    std::unique_ptr<PageRowReader> rows;
    std::unique_ptr<RgbaRowReader> rgba;
    if (ycbcr && compression == COMPRESSION_JPEG && planar == PLANARCONFIG_CONTIG) {
        // The JPEG codec converts to RGB itself; rows then read as RGB.
        TIFFSetField(in, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    } else if (ycbcr) {
        // Old-style JPEG ignores the colour mode, and plain YCbCr rows come
        // subsampled: the RGBA reader converts both, a band at a time.
        source = Source::Rgba;
        rgba = std::make_unique<RgbaRowReader>(in);
        if (!rgba->valid()) {
            std::fprintf(stderr, "Bad photometric; can only handle RGB and Palette images.\n");
            return kGrayRefused;
        }
    } else if (photometric == PHOTOMETRIC_PALETTE) {
        source = Source::Palette;
        if (!paletteGrays(in, grays))
            return kGrayRefused;
    } else if (planar == PLANARCONFIG_SEPARATE) {
        source = Source::RgbSeparate;
    }
    if (!rgba) {
        rows = std::make_unique<PageRowReader>(in);
        if (!rows->valid() || rows->width() != width || rows->length() != length)
            return kGrayRefused;
    }
    if (width == 0 || length == 0)
        return kGrayRefused;

    writeScratchTags(in, scratch, width, length);
    return writeGrayRows(scratch, width, length, source, rows.get(), rgba.get(), grays);
}

} // namespace pagesmith
