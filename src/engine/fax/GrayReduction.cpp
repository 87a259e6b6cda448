#include "engine/fax/GrayReduction.h"

#include "engine/samples/GreyRows.h"
#include "engine/tiffout/TagCopy.h"

#include <cstdint>

namespace pagesmith {

namespace {

void writeScratchTags(TIFF* in, TIFF* scratch, std::uint32_t width, std::uint32_t length,
                      bool samplesMadeAnew) {
    TIFFSetField(scratch, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(scratch, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(scratch, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(scratch, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(scratch, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (samplesMadeAnew)
        copyCommonTagsOfNewSamples(in, scratch);
    else
        copyCommonTags(in, scratch);
    TIFFSetField(scratch, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(scratch, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(scratch, TIFFTAG_IMAGEDESCRIPTION, "tiff B&W operation");
    TIFFSetField(scratch, TIFFTAG_SOFTWARE, "tiff2bw");
    TIFFSetField(scratch, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(scratch, 0));
}

} // namespace

int reduceToGray(TIFF* in, TIFF* scratch, std::string* refusal) {
    if (!in || !scratch)
        return kGrayRefused;
    GreyRows grey(in);
    if (!grey.valid()) {
        if (refusal)
            *refusal = grey.refusal();
        return kGrayRefused;
    }
    writeScratchTags(in, scratch, grey.width(), grey.length(), grey.samplesMadeAnew());
    for (std::uint32_t row = 0; row < grey.length(); ++row) {
        const std::uint8_t* samples = grey.row(row);
        if (!samples || TIFFWriteScanline(scratch, const_cast<std::uint8_t*>(samples), row, 0) < 0)
            return kGrayStopped;
    }
    return kGrayWritten;
}

} // namespace pagesmith
