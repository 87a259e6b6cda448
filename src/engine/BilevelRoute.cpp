#include "engine/BilevelRoute.h"

#include "engine/ColourDither.h"
#include "engine/CompressionChoice.h"
#include "engine/Dither.h"
#include "engine/GrayReduction.h"
#include "engine/PageSettings.h"
#include "tiff/TiffHandle.h"

#include <cstdint>

namespace pagesmith {

bool takesBilevelRoute(TIFF* in, const PageSettings& settings) {
    if (!in || !isBilevelCompression(settings.outputCompression))
        return false;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    return bitsPerSample == 8 && (samplesPerPixel == 1 || samplesPerPixel == 3);
}

BilevelOutcome convertPageToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                    const std::string& scratchPath, CoreBudget* cores) {
    std::uint32_t length = 0;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    // Dithering drops the last row; a page of one row has nothing to give.
    if (length < 2)
        return BilevelOutcome::PageFailed;

    if (samplesPerPixel == 1 && photometric != PHOTOMETRIC_PALETTE) {
        // Ink amounts of a separated page are no brightness to dither by.
        if (photometric == PHOTOMETRIC_SEPARATED)
            return BilevelOutcome::PageFailed;
        return ditherToBilevel(in, out, compressionMode) == kDitherWritten
                   ? BilevelOutcome::Dithered
                   : BilevelOutcome::PageFailed;
    }

    // Colour, and palette indices, are turned into grey through their colours.
    if (streamsWithoutScratch(in))
        return ditherColourPage(in, out, compressionMode, cores);
    {
        TiffHandle scratch(scratchPath, "w");
        if (!scratch)
            return BilevelOutcome::ScratchUnavailable;
        const int reduced = reduceToGray(in, scratch.get());
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
