#include "engine/run/ConvertFiles.h"
#include "engine/tiffout/TagCopy.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pagesmith {
namespace {

// A tag of the common list with a value no writer would give by default, as
// written on the input page (nothing: the page cannot carry it) and as libtiff
// hands it out when read back.
struct TagValue {
    std::uint16_t tag;
    std::function<void(TIFF*)> write;
    std::string read;
};

template <typename T> std::string joined(const T* values, int count) {
    std::ostringstream text;
    for (int i = 0; i < count; ++i)
        text << (i ? "," : "") << +values[i];
    return text.str();
}

// The tag as libtiff hands it out, as text; "absent" when the page lacks it.
std::string readTag(TIFF* tif, std::uint16_t tag) {
    const TIFFField* field = TIFFFindField(tif, tag, TIFF_ANY);
    if (!field)
        return "unknown";
    std::ostringstream text;
    const int count = TIFFFieldReadCount(field);
    bool present = false;
    if (TIFFFieldPassCount(field)) {
        std::uint16_t n = 0;
        const std::uint16_t* values = nullptr;
        present = TIFFGetField(tif, tag, &n, &values);
        text << (present ? joined(values, n) : "");
    } else if (TIFFFieldDataType(field) == TIFF_ASCII) {
        const char* value = nullptr;
        present = TIFFGetField(tif, tag, &value);
        text << (present ? value : "");
    } else if (TIFFFieldDataType(field) == TIFF_SHORT && count == 2) {
        std::uint16_t first = 0, second = 0;
        present = TIFFGetField(tif, tag, &first, &second);
        text << first << "," << second;
    } else if (TIFFFieldDataType(field) == TIFF_SHORT) {
        std::uint16_t value = 0;
        present = TIFFGetField(tif, tag, &value);
        text << value;
    } else if (TIFFFieldDataType(field) == TIFF_LONG) {
        std::uint32_t value = 0;
        present = TIFFGetField(tif, tag, &value);
        text << value;
    } else if (TIFFFieldDataType(field) == TIFF_RATIONAL && count > 1) {
        const float* values = nullptr;
        present = TIFFGetField(tif, tag, &values);
        text << (present ? joined(values, count) : "");
    } else if (TIFFFieldDataType(field) == TIFF_RATIONAL) {
        float value = 0;
        present = TIFFGetField(tif, tag, &value);
        text << value;
    } else {
        double value = 0;
        present = TIFFGetField(tif, tag, &value);
        text << value;
    }
    return present ? text.str() : "absent";
}

template <typename... Values> std::function<void(TIFF*)> set(std::uint16_t tag, Values... values) {
    return [=](TIFF* tif) { TIFFSetField(tif, tag, values...); };
}

// The values for a floating-point grey page with alpha, or for a fax page,
// which has no extra sample and whose sample values are whole numbers.
std::vector<TagValue> commonTagValues(bool oneBit) {
    static const float whitePoint[] = {0.25f, 0.5f};
    static const float primaries[] = {0.5f, 0.25f, 0.125f, 0.75f, 0.375f, 0.625f};
    static const float coefficients[] = {0.25f, 0.5f, 0.125f};
    static const float blackWhite[] = {0, 255, 128, 255, 128, 255};
    static const std::uint16_t alpha[] = {EXTRASAMPLE_UNASSALPHA};
    return {
        {TIFFTAG_SUBFILETYPE, set(TIFFTAG_SUBFILETYPE, FILETYPE_PAGE), "2"},
        {TIFFTAG_THRESHHOLDING, set(TIFFTAG_THRESHHOLDING, 2), "2"},
        {TIFFTAG_DOCUMENTNAME, set(TIFFTAG_DOCUMENTNAME, "Letter"), "Letter"},
        {TIFFTAG_IMAGEDESCRIPTION, set(TIFFTAG_IMAGEDESCRIPTION, "Signed"), "Signed"},
        {TIFFTAG_MAKE, set(TIFFTAG_MAKE, "Maker"), "Maker"},
        {TIFFTAG_MODEL, set(TIFFTAG_MODEL, "Model 9"), "Model 9"},
        {TIFFTAG_MINSAMPLEVALUE, set(TIFFTAG_MINSAMPLEVALUE, 3), "3"},
        {TIFFTAG_MAXSAMPLEVALUE, set(TIFFTAG_MAXSAMPLEVALUE, 200), "200"},
        {TIFFTAG_XRESOLUTION, set(TIFFTAG_XRESOLUTION, 300.0), "300"},
        {TIFFTAG_YRESOLUTION, set(TIFFTAG_YRESOLUTION, 150.0), "150"},
        {TIFFTAG_PAGENAME, set(TIFFTAG_PAGENAME, "Page one"), "Page one"},
        {TIFFTAG_XPOSITION, set(TIFFTAG_XPOSITION, 1.5), "1.5"},
        {TIFFTAG_YPOSITION, set(TIFFTAG_YPOSITION, 2.25), "2.25"},
        {TIFFTAG_RESOLUTIONUNIT, set(TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER), "3"},
        {TIFFTAG_SOFTWARE, set(TIFFTAG_SOFTWARE, "Scanner 2"), "Scanner 2"},
        {TIFFTAG_DATETIME, set(TIFFTAG_DATETIME, "2024:01:02 03:04:05"), "2024:01:02 03:04:05"},
        {TIFFTAG_ARTIST, set(TIFFTAG_ARTIST, "Anna"), "Anna"},
        {TIFFTAG_HOSTCOMPUTER, set(TIFFTAG_HOSTCOMPUTER, "office"), "office"},
        {TIFFTAG_WHITEPOINT, set(TIFFTAG_WHITEPOINT, whitePoint), "0.25,0.5"},
        {TIFFTAG_PRIMARYCHROMATICITIES, set(TIFFTAG_PRIMARYCHROMATICITIES, primaries),
         "0.5,0.25,0.125,0.75,0.375,0.625"},
        {TIFFTAG_HALFTONEHINTS, set(TIFFTAG_HALFTONEHINTS, 10, 240), "10,240"},
        {TIFFTAG_INKSET, set(TIFFTAG_INKSET, INKSET_MULTIINK), "2"},
        {TIFFTAG_DOTRANGE, set(TIFFTAG_DOTRANGE, 5, 250), "5,250"},
        {TIFFTAG_TARGETPRINTER, set(TIFFTAG_TARGETPRINTER, "Press"), "Press"},
        oneBit
            ? TagValue{TIFFTAG_SAMPLEFORMAT, {}, "absent"}
            : TagValue{TIFFTAG_SAMPLEFORMAT, set(TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP), "3"},
        {TIFFTAG_YCBCRCOEFFICIENTS, set(TIFFTAG_YCBCRCOEFFICIENTS, coefficients), "0.25,0.5,0.125"},
        {TIFFTAG_YCBCRSUBSAMPLING, set(TIFFTAG_YCBCRSUBSAMPLING, 1, 1), "1,1"},
        {TIFFTAG_YCBCRPOSITIONING, set(TIFFTAG_YCBCRPOSITIONING, YCBCRPOSITION_COSITED), "2"},
        {TIFFTAG_REFERENCEBLACKWHITE, set(TIFFTAG_REFERENCEBLACKWHITE, blackWhite),
         "0,255,128,255,128,255"},
        oneBit ? TagValue{TIFFTAG_EXTRASAMPLES, {}, "absent"}
               : TagValue{TIFFTAG_EXTRASAMPLES, set(TIFFTAG_EXTRASAMPLES, 1, alpha), "2"},
        {TIFFTAG_SMINSAMPLEVALUE, set(TIFFTAG_SMINSAMPLEVALUE, oneBit ? 1.0 : -1.5),
         oneBit ? "1" : "-1.5"},
        {TIFFTAG_SMAXSAMPLEVALUE, set(TIFFTAG_SMAXSAMPLEVALUE, oneBit ? 1.0 : 2.5),
         oneBit ? "1" : "2.5"},
        {TIFFTAG_STONITS, set(TIFFTAG_STONITS, 0.5), "0.5"},
    };
}

// A floating-point grey page with alpha for the byte-oriented modes, a fax
// page for the fax modes; each carries every tag it can.
test::TestPage pageWithTags(bool oneBit) {
    test::TestPage page = oneBit ? test::faxPage(32, 8) : test::TestPage{};
    if (!oneBit) {
        page.width = 8;
        page.length = 4;
        page.bitsPerSample = 32;
        page.samplesPerPixel = 2;
    }
    page.extraTags = [oneBit](TIFF* tif) {
        for (const TagValue& value : commonTagValues(oneBit))
            if (value.write)
                value.write(tif);
    };
    return page;
}

// Every tag of the common list reaches the output with its value, in every
// lossless mode.
TEST(CommonTags, KeepTheirValuesInEveryLosslessMode) {
    test::TempDir dir;
    for (const bool oneBit : {false, true}) {
        ASSERT_EQ(commonTagValues(oneBit).size(), CommonTagList.size());
        test::writeTiff(dir.file("in.tif"), pageWithTags(oneBit));
        const std::vector<CompressionMode> modes =
            oneBit ? std::vector{CompressionMode::Group3OneDimFill, CompressionMode::Group3OneDim,
                                 CompressionMode::Group3TwoDimFill, CompressionMode::Group3TwoDim,
                                 CompressionMode::Group4}
                   : std::vector{CompressionMode::Uncompressed, CompressionMode::PackBits,
                                 CompressionMode::Lzw};
        for (const CompressionMode mode : modes) {
            ConversionOptions options;
            options.compressionMode = mode;
            test::ReportRecorder report;
            ASSERT_EQ(convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report),
                      ConvertResult::Done)
                << report.lines;
            const TiffHandle out = test::openPage(dir.file("out.tif"));
            for (const TagValue& value : commonTagValues(oneBit))
                EXPECT_EQ(readTag(out.get(), value.tag), value.read)
                    << "tag " << value.tag << " in mode " << int(mode);
        }
    }
}

// SMinSampleValue and SMaxSampleValue as the input stores them: DOUBLE (as
// other programs write them for pages of any sample type), or the sample
// type libtiff itself writes; with the values, per sample, and the entry
// type the output must hold.
struct SampleLimitsCase {
    const char* name;
    test::TestPage page;
    std::vector<double> min;
    std::vector<double> max;
    bool storedAsDouble;
    std::vector<CompressionMode> modes;
};

std::vector<double> limitsOf(TIFF* tif, std::uint16_t tag, int samples) {
    TIFFSetField(tif, TIFFTAG_PERSAMPLE, PERSAMPLE_MULTI);
    double* values = nullptr;
    std::vector<double> read;
    if (TIFFGetField(tif, tag, &values) && values)
        read.assign(values, values + samples);
    TIFFSetField(tif, TIFFTAG_PERSAMPLE, PERSAMPLE_MERGED);
    return read;
}

TEST(CommonTags, SampleLimitsKeepTheirValuesAndTypeInEveryLosslessMode) {
    const std::vector<CompressionMode> byteModes = {
        CompressionMode::Uncompressed, CompressionMode::PackBits, CompressionMode::Lzw};
    test::TestPage grey;
    test::TestPage rgb = test::rgbPage(8, 4);
    const std::vector<SampleLimitsCase> cases = {
        {"GreyWithDoubles", grey, {1.5}, {254.5}, true, byteModes},
        {"ColourWithADoubleForEachSample",
         rgb,
         {1.5, 2.5, 3.5},
         {250.5, 251.5, 252.5},
         true,
         byteModes},
        {"GreyWithBytes", grey, {3}, {200}, false, byteModes},
        {"FaxWithDoubles",
         test::faxPage(32, 8),
         {0.25},
         {0.75},
         true,
         {CompressionMode::Group3TwoDim, CompressionMode::Group4}},
    };
    test::TempDir dir;
    for (const SampleLimitsCase& run : cases) {
        SCOPED_TRACE(run.name);
        test::TestPage page = run.page;
        page.extraTags = [&run](TIFF* tif) {
            TIFFSetField(tif, TIFFTAG_PERSAMPLE, PERSAMPLE_MULTI);
            TIFFSetField(tif, TIFFTAG_SMINSAMPLEVALUE, run.min.data());
            TIFFSetField(tif, TIFFTAG_SMAXSAMPLEVALUE, run.max.data());
            TIFFSetField(tif, TIFFTAG_PERSAMPLE, PERSAMPLE_MERGED);
        };
        test::writeTiff(dir.file("in.tif"), page);
        if (run.storedAsDouble) {
            test::setPageTagDoubles(dir.file("in.tif"), 0, TIFFTAG_SMINSAMPLEVALUE, run.min);
            test::setPageTagDoubles(dir.file("in.tif"), 0, TIFFTAG_SMAXSAMPLEVALUE, run.max);
        }
        const std::uint16_t inputType = test::pageTagType(dir.file("in.tif"), 0, 340);
        for (const CompressionMode mode : run.modes) {
            SCOPED_TRACE(int(mode));
            ConversionOptions options;
            options.compressionMode = mode;
            test::ReportRecorder report;
            ASSERT_EQ(convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report),
                      ConvertResult::Done)
                << report.lines;
            const TiffHandle out = test::openPage(dir.file("out.tif"));
            const int samples = int(run.min.size());
            EXPECT_EQ(limitsOf(out.get(), TIFFTAG_SMINSAMPLEVALUE, samples), run.min);
            EXPECT_EQ(limitsOf(out.get(), TIFFTAG_SMAXSAMPLEVALUE, samples), run.max);
            for (const std::uint16_t tag : {TIFFTAG_SMINSAMPLEVALUE, TIFFTAG_SMAXSAMPLEVALUE})
                EXPECT_EQ(test::pageTagType(dir.file("out.tif"), 0, tag),
                          run.storedAsDouble ? std::uint16_t(TIFF_DOUBLE) : inputType)
                    << tag;
        }
    }
}

} // namespace
} // namespace pagesmith
