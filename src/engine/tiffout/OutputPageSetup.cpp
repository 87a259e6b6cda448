#include "engine/tiffout/OutputPageSetup.h"

#include "engine/CompressionChoice.h"
#include "engine/samples/EightBitRows.h"
#include "engine/tiffout/CopyEightBitSamples.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopyThroughRgba.h"
#include "engine/tiffout/PageSettings.h"
#include "engine/tiffout/TagCopy.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace pagesmith {

namespace {

constexpr std::uint32_t kDefaultTileSize = 256;
constexpr std::uint16_t kWidestSampleBits = 64;

bool isJpegCompression(std::uint16_t compression) {
    return compression == COMPRESSION_JPEG || compression == COMPRESSION_OJPEG;
}

std::uint16_t compressionOf(TIFF* in) {
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    return compression;
}

bool isSubsampled(TIFF* in) {
    std::uint16_t horizontal = 1, vertical = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_YCBCRSUBSAMPLING, &horizontal, &vertical);
    return horizontal != 1 || vertical != 1;
}

// The JPEG encoder takes 8-bit samples, no palette or mask, RGB (written as
// YCbCr) only as three interleaved samples, and at most four interleaved
// samples of any kind (libjpeg's limit on the components of one picture);
// subsampled YCbCr only as the JPEG codec decodes it.
bool jpegCanEncode(TIFF* in, std::uint16_t bitsPerSample, std::uint16_t samplesPerPixel,
                   std::uint16_t photometric) {
    if (bitsPerSample != 8 || photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_MASK)
        return false;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    const bool interleaved = planar == PLANARCONFIG_CONTIG;
    if (photometric == PHOTOMETRIC_YCBCR && !isJpegCompression(compressionOf(in)) &&
        isSubsampled(in))
        return false; // its rows are blocks of luma and chroma, not pixels
    if (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_YCBCR)
        return samplesPerPixel == 3 && interleaved;
    return samplesPerPixel <= 4 || !interleaved;
}

// How the input page's pixels are read back.
enum class PixelSource {
    AsStored,   // decoded rows as the codec delivers them
    RgbaReader, // old-style JPEG colour: its codec cannot deliver RGB rows
    EightBits,  // samples made 8-bit for an encoder that cannot take them
};

// A page the JPEG encoder cannot take as it is goes to it as 8-bit samples:
// grey stays grey (as brightness), palette and RGB pages become RGB (written
// as YCbCr, as RGB pages are), CMYK stays CMYK.
void setupEightBitPhotometric(TIFF* out, const PageSettings& settings, EightBitColour colour) {
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    if (colour == EightBitColour::Rgb)
        photometric = settings.jpegColorModeRgb ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB;
    else if (colour == EightBitColour::Cmyk)
        photometric = PHOTOMETRIC_SEPARATED;
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, photometric);
}

// Writes the output's Photometric and says how to read the input's pixels.
PixelSource setupPhotometric(TIFF* in, TIFF* out, PageSettings& settings, bool hasPhotometric,
                             std::uint16_t photometric, std::uint16_t bitsPerSample) {
    std::uint16_t inputCompression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &inputCompression);
    const bool oldJpegColour =
        inputCompression == COMPRESSION_OJPEG && photometric == PHOTOMETRIC_YCBCR;
    const PixelSource source = oldJpegColour ? PixelSource::RgbaReader : PixelSource::AsStored;

    switch (settings.outputCompression) {
    case COMPRESSION_JPEG:
        // The encoder is handed RGB rows and makes YCbCr of them itself.
        if (isJpegCompression(inputCompression))
            TIFFSetField(in, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        if (hasPhotometric) {
            std::uint16_t written = photometric;
            if (photometric == PHOTOMETRIC_RGB)
                written = settings.jpegColorModeRgb ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB;
            TIFFSetField(out, TIFFTAG_PHOTOMETRIC, written);
        }
        return source;
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
        if (bitsPerSample > 1) {
            std::uint16_t written = hasPhotometric ? photometric : 0;
            if (isJpegCompression(inputCompression) && photometric > PHOTOMETRIC_MINISBLACK) {
                TIFFSetField(in, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
                // The rows arrive as RGB, so the page must say RGB: labelled
                // YCbCr, every reader would decode them as subsampled YCbCr.
                if (photometric == PHOTOMETRIC_YCBCR) {
                    written = PHOTOMETRIC_RGB;
                    settings.inputDecodedAsRgb = true;
                }
            }
            TIFFSetField(out, TIFFTAG_PHOTOMETRIC, written);
            return source;
        }
        break;
    default:
        break;
    }
    copyTag(in, out, TIFFTAG_PHOTOMETRIC, 1, TIFF_SHORT);
    return source;
}

void setupOrientation(TIFF* in, TIFF* out) {
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(in, TIFFTAG_ORIENTATION, &orientation);
    // Rows are copied as they are, so only orientations that keep the row
    // order can be told apart; the others fall back to their row-order twin.
    switch (orientation) {
    case ORIENTATION_TOPLEFT:
    case ORIENTATION_BOTLEFT:
    case ORIENTATION_LEFTTOP:
    case ORIENTATION_LEFTBOT:
        break;
    case ORIENTATION_TOPRIGHT:
    case ORIENTATION_RIGHTTOP:
        TIFFWarningExtR(in, TIFFFileName(in), "using top-left orientation");
        orientation = ORIENTATION_TOPLEFT;
        break;
    case ORIENTATION_BOTRIGHT:
    case ORIENTATION_RIGHTBOT:
        TIFFWarningExtR(in, TIFFFileName(in), "using bottom-left orientation");
        orientation = ORIENTATION_BOTLEFT;
        break;
    default:
        TIFFWarningExtR(in, TIFFFileName(in), "using top-left orientation");
        orientation = ORIENTATION_TOPLEFT;
        break;
    }
    TIFFSetField(out, TIFFTAG_ORIENTATION, orientation);
}

// Tile sides: below 1 means the default, and every side a multiple of 16.
std::uint32_t tileSide(std::int64_t requested) {
    if (requested < 1)
        return kDefaultTileSize;
    const std::int64_t rounded = (requested + 15) / 16 * 16;
    return std::uint32_t(std::min<std::int64_t>(rounded, 0xFFFFFFF0));
}

void setupLayout(TIFF* in, TIFF* out, PageSettings& settings) {
    if (settings.outputTiled == -1)
        settings.outputTiled = TIFFIsTiled(in) ? 1 : 0; // the run's first page decides
    if (settings.outputTiled) {
        std::uint32_t inputSide = 0;
        if (settings.tileWidth == -1 && TIFFGetField(in, TIFFTAG_TILEWIDTH, &inputSide))
            settings.tileWidth = inputSide;
        if (settings.tileLength == -1 && TIFFGetField(in, TIFFTAG_TILELENGTH, &inputSide))
            settings.tileLength = inputSide;
        settings.tileWidth = tileSide(settings.tileWidth);
        settings.tileLength = tileSide(settings.tileLength);
        TIFFSetField(out, TIFFTAG_TILEWIDTH, std::uint32_t(settings.tileWidth));
        TIFFSetField(out, TIFFTAG_TILELENGTH, std::uint32_t(settings.tileLength));
        return;
    }
    std::uint32_t rows = 0;
    if (!TIFFGetField(in, TIFFTAG_ROWSPERSTRIP, &rows))
        rows = TIFFDefaultStripSize(out, 0);
    if (settings.outputCompression == COMPRESSION_JPEG) {
        rows -= rows % 16; // whole JPEG blocks, subsampled chroma included
        if (rows == 0)
            rows = 16;
        // A page stored as one endless strip (RowsPerStrip 2^32 - 1) would
        // leave libtiff no strip count to write: one strip of the page's rows.
        std::uint32_t length = 0;
        TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
        if (rows > 0xFFFFFFFFu - length)
            rows = std::uint32_t(
                std::min<std::uint64_t>((std::uint64_t(length) + 15) / 16 * 16, 0xFFFFFFF0u));
    }
    settings.rowsPerStrip = std::max<std::uint32_t>(rows, 1);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, settings.rowsPerStrip);
}

void setupCompressionTags(TIFF* in, TIFF* out, const PageSettings& settings) {
    switch (settings.outputCompression) {
    case COMPRESSION_CCITTFAX3:
        TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, settings.group3Options);
        break;
    case COMPRESSION_CCITTFAX4:
        copyTag(in, out, TIFFTAG_GROUP4OPTIONS, 1, TIFF_LONG);
        break;
    case COMPRESSION_JPEG:
        TIFFSetField(out, TIFFTAG_JPEGQUALITY, settings.jpegQuality);
        TIFFSetField(out, TIFFTAG_JPEGCOLORMODE,
                     settings.jpegColorModeRgb ? JPEGCOLORMODE_RGB : JPEGCOLORMODE_RAW);
        return;
    default:
        return;
    }
    copyTag(in, out, TIFFTAG_BADFAXLINES, 1, TIFF_LONG);
    copyTag(in, out, TIFFTAG_CLEANFAXDATA, 1, TIFF_LONG);
    copyTag(in, out, TIFFTAG_CONSECUTIVEBADFAXLINES, 1, TIFF_LONG);
    copyTag(in, out, TIFFTAG_FAXRECVPARAMS, 1, TIFF_LONG);
    copyTag(in, out, TIFFTAG_FAXRECVTIME, 1, TIFF_LONG);
    copyTag(in, out, TIFFTAG_FAXSUBADDRESS, 1, TIFF_ASCII);
}

void copyIccProfile(TIFF* in, TIFF* out) {
    std::uint32_t length = 0;
    void* profile = nullptr;
    if (TIFFGetField(in, TIFFTAG_ICCPROFILE, &length, &profile) && profile)
        TIFFSetField(out, TIFFTAG_ICCPROFILE, length, profile);
}

// At most `mostInks` of the input's inks: a page made CMYK keeps four.
void copyInks(TIFF* in, TIFF* out, std::uint16_t mostInks) {
    std::uint16_t inks = 0;
    if (!TIFFGetField(in, TIFFTAG_NUMBEROFINKS, &inks))
        return;
    inks = std::min(inks, mostInks);
    TIFFSetField(out, TIFFTAG_NUMBEROFINKS, inks);
    char* names = nullptr;
    if (!TIFFGetField(in, TIFFTAG_INKNAMES, &names) || !names)
        return;
    // The byte length of the first `inks` names with their terminators; the
    // library keeps the ink count in step with the names it holds.
    std::uint32_t length = 0;
    for (std::uint16_t i = 0; i < inks; ++i)
        length += std::uint32_t(std::strlen(names + length)) + 1;
    TIFFSetField(out, TIFFTAG_INKNAMES, length, names);
}

void setupPageNumber(TIFF* in, TIFF* out, PageSettings& settings) {
    std::uint16_t page = 0, total = 0;
    if (!TIFFGetField(in, TIFFTAG_PAGENUMBER, &page, &total))
        return;
    if (settings.pageCounter == -1) {
        TIFFSetField(out, TIFFTAG_PAGENUMBER, page, total);
    } else {
        // Merged pages are numbered in their new order.
        TIFFSetField(out, TIFFTAG_PAGENUMBER, std::uint16_t(settings.pageCounter),
                     std::uint16_t(0));
        ++settings.pageCounter;
    }
}

bool isYCbCrDescription(std::uint16_t tag) {
    return tag == TIFFTAG_YCBCRCOEFFICIENTS || tag == TIFFTAG_YCBCRSUBSAMPLING ||
           tag == TIFFTAG_YCBCRPOSITIONING || tag == TIFFTAG_REFERENCEBLACKWHITE;
}

void copyDescriptiveTags(TIFF* in, TIFF* out, const PageSettings& settings) {
    for (const TagEntry& entry : CommonTagList) {
        // A page read back as RGB no longer has the YCbCr coding these describe;
        // samples made 8-bit have neither their stored range nor their format,
        // and their YCbCr coding is the encoder's own.
        if ((settings.inputDecodedAsRgb || settings.eightBitSamples) &&
            isYCbCrDescription(entry.tag))
            continue;
        if (settings.eightBitSamples && describesStoredSamples(entry.tag))
            continue;
        copyTag(in, out, entry.tag, entry.count, entry.type);
    }
}

} // namespace

PageSetupResult prepareOutputPage(TIFF* in, TIFF* out, PageSettings& settings, bool& converted) {
    std::uint32_t width = 0, length = 0;
    if (TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width))
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
    if (TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length))
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, length);
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    if (TIFFGetField(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample))
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    if (TIFFGetField(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel))
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, samplesPerPixel);
    std::uint16_t photometric = 0;
    const bool hasPhotometric = TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric) != 0;

    // A missing BitsPerSample or SamplesPerPixel means 1, as TIFF defines.
    if (isBilevelCompression(settings.outputCompression) &&
        (samplesPerPixel != 1 || bitsPerSample != 1 || photometric > PHOTOMETRIC_MINISBLACK)) {
        copyTag(in, out, TIFFTAG_COMPRESSION, 1, TIFF_SHORT);
        // What the grey reduction says of the page, when it cannot take it.
        settings.refusal = planEightBits(in).refusal;
        return PageSetupResult::BilevelRejected;
    }
    // No TIFF sample is wider than a double: a wider claim is damage, and
    // copying it would write rows of that width for nothing.
    if (bitsPerSample == 0 || bitsPerSample > kWidestSampleBits)
        return PageSetupResult::Failed;
    std::optional<EightBitColour> eightBits;
    if (settings.outputCompression == COMPRESSION_JPEG &&
        !jpegCanEncode(in, bitsPerSample, samplesPerPixel, photometric)) {
        // Refused here, a page that cannot be made 8-bit either leaves nothing
        // in the file; at its first write it would leave a page without data.
        const EightBitPlan plan = planEightBits(in);
        if (!plan) {
            settings.refusal = plan.refusal;
            return PageSetupResult::Failed;
        }
        eightBits = plan.colour;
        settings.eightBitSamples = true;
        samplesPerPixel = channelsOf(plan.colour);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, samplesPerPixel);
    }
    TIFFSetField(out, TIFFTAG_COMPRESSION, settings.outputCompression);

    PixelSource source = PixelSource::EightBits;
    if (eightBits)
        setupEightBitPhotometric(out, settings, *eightBits);
    else
        source = setupPhotometric(in, out, settings, hasPhotometric, photometric, bitsPerSample);

    if (settings.fillOrder != 0)
        TIFFSetField(out, TIFFTAG_FILLORDER, settings.fillOrder);
    else
        copyTag(in, out, TIFFTAG_FILLORDER, 1, TIFF_SHORT);
    setupOrientation(in, out);
    setupLayout(in, out, settings);

    std::uint16_t planar = 0;
    if (TIFFGetField(in, TIFFTAG_PLANARCONFIG, &planar)) {
        // Colour read through the RGBA reader, and samples made 8-bit, always
        // arrive interleaved.
        if (source != PixelSource::AsStored)
            planar = PLANARCONFIG_CONTIG;
        TIFFSetField(out, TIFFTAG_PLANARCONFIG, planar);
    }
    // Samples made 8-bit leave the input's transfer function and colour map
    // behind: both are tables of the stored samples.
    if (!eightBits) {
        if (samplesPerPixel <= 4)
            copyTag(in, out, TIFFTAG_TRANSFERFUNCTION, 4, TIFF_SHORT);
        copyTag(in, out, TIFFTAG_COLORMAP, 4, TIFF_SHORT);
    }
    setupCompressionTags(in, out, settings);
    copyIccProfile(in, out);
    if (!eightBits)
        copyInks(in, out, 0xFFFF);
    else if (*eightBits == EightBitColour::Cmyk)
        copyInks(in, out, 4);
    setupPageNumber(in, out, settings);
    copyDescriptiveTags(in, out, settings);

    converted = source != PixelSource::AsStored;
    return PageSetupResult::Copied;
}

PageSetupResult setupOutputPage(TIFF* in, TIFF* out, PageSettings& settings) {
    bool converted = false;
    const PageSetupResult prepared = prepareOutputPage(in, out, settings, converted);
    if (prepared != PageSetupResult::Copied)
        return prepared;
    std::uint32_t width = 0, length = 0;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetField(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetField(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    if (settings.eightBitSamples)
        return copyAsEightBitSamples(in, out, length, width) ? PageSetupResult::Copied
                                                             : PageSetupResult::Failed;
    if (converted)
        return copyThroughRgbaReader(in, out, length, width, samplesPerPixel)
                   ? PageSetupResult::Copied
                   : PageSetupResult::Failed;
    const CopyRoutine copy = chooseCopyRoutine(in, out, bitsPerSample, samplesPerPixel);
    if (!copy)
        return PageSetupResult::NoCopyRoutine;
    return copy(in, out, length, width, samplesPerPixel, &settings.readAhead)
               ? PageSetupResult::Copied
               : PageSetupResult::Failed;
}

} // namespace pagesmith
