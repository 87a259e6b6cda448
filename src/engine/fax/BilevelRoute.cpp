#include "engine/fax/BilevelRoute.h"

#include "base/ReportMessages.h"
#include "engine/CompressionChoice.h"
#include "engine/fax/ColourDither.h"
#include "engine/fax/Dither.h"
#include "engine/fax/GrayReduction.h"
#include "engine/samples/EightBitRows.h"
#include "engine/tiffout/PageSettings.h"
#include "tiff/TiffHandle.h"

#include <cstdint>

namespace pagesmith {

bool takesBilevelRoute(TIFF* in, const PageSettings& settings) {
    if (!in || !isBilevelCompression(settings.outputCompression))
        return false;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1, photometric = 0;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    if (bitsPerSample == 8 && (samplesPerPixel == 1 || samplesPerPixel == 3))
        return true;
    // One-bit black and white goes to fax as it is.
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    if (bitsPerSample == 1 && samplesPerPixel == 1 && photometric <= PHOTOMETRIC_MINISBLACK)
        return false;
    return static_cast<bool>(planEightBits(in));
}

BilevelOutcome convertPageToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                    const std::string& scratchPath, CoreBudget* cores,
                                    std::string* refusal) {
    std::uint32_t length = 0;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    // Dithering drops the last row; a page of one row has nothing to give.
    if (length < 2) {
        if (refusal && length == 1)
            *refusal = messageText(ReportMessage::OneRowPage);
        return BilevelOutcome::PageFailed;
    }

    // Ink amounts of a separated page are no brightness to dither by; palette
    // indices are no brightness either: both go through their colours.
    if (bitsPerSample == 8 && samplesPerPixel == 1 && photometric != PHOTOMETRIC_PALETTE &&
        photometric != PHOTOMETRIC_SEPARATED)
        return ditherToBilevel(in, out, compressionMode, refusal) == kDitherWritten
                   ? BilevelOutcome::Dithered
                   : BilevelOutcome::PageFailed;

    if (streamsWithoutScratch(in))
        return ditherColourPage(in, out, compressionMode, cores, refusal);
    {
        TiffHandle scratch(scratchPath, "w");
        if (!scratch)
            return BilevelOutcome::ScratchUnavailable;
        const int reduced = reduceToGray(in, scratch.get(), refusal);
        scratch.close(); // writes the grey page's directory
        if (reduced != kGrayWritten)
            return BilevelOutcome::PageFailed;
    }
    // Read, not mapped: the scratch page would count whole in the memory used.
    TiffHandle grey(scratchPath, "rm");
    if (!grey)
        return BilevelOutcome::PageFailed;
    return ditherToBilevel(grey.get(), out, compressionMode) == kDitherWritten
               ? BilevelOutcome::Dithered
               : BilevelOutcome::PageFailed;
}

} // namespace pagesmith
