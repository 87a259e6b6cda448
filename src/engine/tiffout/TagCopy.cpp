#include "engine/tiffout/TagCopy.h"

namespace pagesmith {

const std::array<TagEntry, 33> CommonTagList = {{
    {TIFFTAG_SUBFILETYPE, 1, TIFF_LONG},
    {TIFFTAG_THRESHHOLDING, 1, TIFF_SHORT},
    {TIFFTAG_DOCUMENTNAME, 1, TIFF_ASCII},
    {TIFFTAG_IMAGEDESCRIPTION, 1, TIFF_ASCII},
    {TIFFTAG_MAKE, 1, TIFF_ASCII},
    {TIFFTAG_MODEL, 1, TIFF_ASCII},
    {TIFFTAG_MINSAMPLEVALUE, 1, TIFF_SHORT},
    {TIFFTAG_MAXSAMPLEVALUE, 1, TIFF_SHORT},
    {TIFFTAG_XRESOLUTION, 1, TIFF_RATIONAL},
    {TIFFTAG_YRESOLUTION, 1, TIFF_RATIONAL},
    {TIFFTAG_PAGENAME, 1, TIFF_ASCII},
    {TIFFTAG_XPOSITION, 1, TIFF_RATIONAL},
    {TIFFTAG_YPOSITION, 1, TIFF_RATIONAL},
    {TIFFTAG_RESOLUTIONUNIT, 1, TIFF_SHORT},
    {TIFFTAG_SOFTWARE, 1, TIFF_ASCII},
    {TIFFTAG_DATETIME, 1, TIFF_ASCII},
    {TIFFTAG_ARTIST, 1, TIFF_ASCII},
    {TIFFTAG_HOSTCOMPUTER, 1, TIFF_ASCII},
    {TIFFTAG_WHITEPOINT, 1, TIFF_RATIONAL},
    {TIFFTAG_PRIMARYCHROMATICITIES, kVariableCount, TIFF_RATIONAL},
    {TIFFTAG_HALFTONEHINTS, 2, TIFF_SHORT},
    {TIFFTAG_INKSET, 1, TIFF_SHORT},
    {TIFFTAG_DOTRANGE, 2, TIFF_SHORT},
    {TIFFTAG_TARGETPRINTER, 1, TIFF_ASCII},
    {TIFFTAG_SAMPLEFORMAT, 1, TIFF_SHORT},
    {TIFFTAG_YCBCRCOEFFICIENTS, kVariableCount, TIFF_RATIONAL},
    {TIFFTAG_YCBCRSUBSAMPLING, 2, TIFF_SHORT},
    {TIFFTAG_YCBCRPOSITIONING, 1, TIFF_SHORT},
    {TIFFTAG_REFERENCEBLACKWHITE, kVariableCount, TIFF_RATIONAL},
    {TIFFTAG_EXTRASAMPLES, kVariableCount, TIFF_SHORT},
    {TIFFTAG_SMINSAMPLEVALUE, 1, TIFF_DOUBLE},
    {TIFFTAG_SMAXSAMPLEVALUE, 1, TIFF_DOUBLE},
    {TIFFTAG_STONITS, 1, TIFF_DOUBLE},
}};

namespace {

// libtiff hands some "single" rational tags out as arrays of a fixed count
// (WhitePoint holds two values). Reading such a tag into one float would let
// libtiff store a pointer into it, so they travel as the array the library
// returns. Tags with one value per sample (SMinSampleValue, SMaxSampleValue)
// are handed out as one value, the smallest or largest of the samples, unless
// the handle is in per-sample mode (copyPerSample).
bool libraryReturnsArray(TIFF* in, std::uint16_t tag) {
    const TIFFField* field = TIFFFindField(in, tag, TIFF_ANY);
    return field && TIFFFieldReadCount(field) > 1 && !TIFFFieldPassCount(field);
}

template <typename T> void copyArray(TIFF* in, TIFF* out, std::uint16_t tag) {
    T* values = nullptr;
    if (TIFFGetField(in, tag, &values) && values)
        TIFFSetField(out, tag, values);
}

void copyShortTag(TIFF* in, TIFF* out, std::uint16_t tag, std::uint16_t count) {
    switch (count) {
    case 1: {
        std::uint16_t value = 0;
        if (TIFFGetField(in, tag, &value))
            TIFFSetField(out, tag, value);
        break;
    }
    case 2: {
        std::uint16_t first = 0, second = 0;
        if (TIFFGetField(in, tag, &first, &second))
            TIFFSetField(out, tag, first, second);
        break;
    }
    case 4: {
        // Per-channel tables (TransferFunction, ColorMap): libtiff fills as many
        // pointers as the page has channels.
        std::uint16_t* tables[4] = {nullptr, nullptr, nullptr, nullptr};
        if (!TIFFGetField(in, tag, &tables[0], &tables[1], &tables[2], &tables[3]) || !tables[0])
            return;
        // One table for every channel when the input holds only one; the
        // output may ask for three before its extra samples are known.
        for (std::uint16_t*& table : tables)
            if (!table)
                table = tables[0];
        TIFFSetField(out, tag, tables[0], tables[1], tables[2], tables[3]);
        break;
    }
    case kVariableCount: {
        std::uint16_t n = 0;
        std::uint16_t* values = nullptr;
        if (TIFFGetField(in, tag, &n, &values) && values)
            TIFFSetField(out, tag, n, values);
        break;
    }
    default:
        break;
    }
}

void copyRationalTag(TIFF* in, TIFF* out, std::uint16_t tag, std::uint16_t count) {
    if (count == kVariableCount || (count == 1 && libraryReturnsArray(in, tag))) {
        copyArray<float>(in, out, tag);
        return;
    }
    if (count == 1) {
        float value = 0;
        if (TIFFGetField(in, tag, &value))
            TIFFSetField(out, tag, double(value));
    }
}

bool hasValuePerSample(std::uint16_t tag) {
    return tag == TIFFTAG_SMINSAMPLEVALUE || tag == TIFFTAG_SMAXSAMPLEVALUE;
}

// A value for each sample, where both pages have as many samples; false when
// they do not, and the tag goes as one value.
bool copyPerSample(TIFF* in, TIFF* out, std::uint16_t tag) {
    const std::vector<double> values = valuesPerSample(in, tag);
    std::uint16_t outSamples = 1;
    TIFFGetFieldDefaulted(out, TIFFTAG_SAMPLESPERPIXEL, &outSamples);
    if (values.empty() || values.size() != outSamples)
        return false;
    TIFFSetField(out, TIFFTAG_PERSAMPLE, PERSAMPLE_MULTI);
    TIFFSetField(out, tag, values.data());
    TIFFSetField(out, TIFFTAG_PERSAMPLE, PERSAMPLE_MERGED);
    return true;
}

void copyDoubleTag(TIFF* in, TIFF* out, std::uint16_t tag, std::uint16_t count) {
    if (hasValuePerSample(tag) && copyPerSample(in, out, tag))
        return;
    if (count == kVariableCount || (count == 1 && libraryReturnsArray(in, tag))) {
        copyArray<double>(in, out, tag);
        return;
    }
    if (count == 1) {
        double value = 0;
        if (TIFFGetField(in, tag, &value))
            TIFFSetField(out, tag, value);
    }
}

} // namespace

void copyTag(TIFF* in, TIFF* out, std::uint16_t tag, std::uint16_t count, TIFFDataType type) {
    switch (type) {
    case TIFF_SHORT:
        copyShortTag(in, out, tag, count);
        break;
    case TIFF_LONG: {
        std::uint32_t value = 0;
        if (TIFFGetField(in, tag, &value))
            TIFFSetField(out, tag, value);
        break;
    }
    case TIFF_ASCII: {
        char* text = nullptr;
        if (TIFFGetField(in, tag, &text) && text)
            TIFFSetField(out, tag, text);
        break;
    }
    case TIFF_RATIONAL:
        copyRationalTag(in, out, tag, count);
        break;
    case TIFF_DOUBLE:
        copyDoubleTag(in, out, tag, count);
        break;
    default:
        TIFFErrorExtR(in, TIFFFileName(in), "Data type %d is not supported, tag %d skipped.",
                      int(type), int(tag));
        break;
    }
}

std::vector<double> valuesPerSample(TIFF* in, std::uint16_t tag) {
    std::uint16_t samples = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
    std::vector<double> values;
    TIFFSetField(in, TIFFTAG_PERSAMPLE, PERSAMPLE_MULTI);
    double* held = nullptr;
    if (TIFFGetField(in, tag, &held) && held)
        values.assign(held, held + samples);
    TIFFSetField(in, TIFFTAG_PERSAMPLE, PERSAMPLE_MERGED);
    return values;
}

void copyCommonTags(TIFF* in, TIFF* out) {
    for (const TagEntry& entry : CommonTagList)
        copyTag(in, out, entry.tag, entry.count, entry.type);
}

bool describesStoredSamples(std::uint16_t tag) {
    switch (tag) {
    case TIFFTAG_MINSAMPLEVALUE:
    case TIFFTAG_MAXSAMPLEVALUE:
    case TIFFTAG_SAMPLEFORMAT:
    case TIFFTAG_EXTRASAMPLES:
    case TIFFTAG_SMINSAMPLEVALUE:
    case TIFFTAG_SMAXSAMPLEVALUE:
        return true;
    default:
        return false;
    }
}

void copyCommonTagsOfNewSamples(TIFF* in, TIFF* out) {
    for (const TagEntry& entry : CommonTagList)
        if (!describesStoredSamples(entry.tag))
            copyTag(in, out, entry.tag, entry.count, entry.type);
}

} // namespace pagesmith
