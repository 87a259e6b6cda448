#include "engine/Dither.h"

#include "engine/PageRows.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace pagesmith {

namespace {

// A corrected value above this becomes white.
constexpr int kThreshold = 128;

struct FaxCompression {
    std::uint16_t compression;
    std::uint32_t group3Options; // Group 3 only
};

// Looked up afresh on every call, so one run's Group 3 options never leak
// into the next.
std::optional<FaxCompression> faxCompressionFor(int compressionMode) {
    switch (compressionMode) {
    case 2:
        return FaxCompression{COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS};
    case 3:
        return FaxCompression{COMPRESSION_CCITTFAX3, 0};
    case 4:
        return FaxCompression{COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS | GROUP3OPT_2DENCODING};
    case 5:
        return FaxCompression{COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING};
    case 6:
        return FaxCompression{COMPRESSION_CCITTFAX4, 0};
    default:
        return std::nullopt;
    }
}

void writeBilevelTags(TIFF* in, TIFF* out, std::uint32_t length, const FaxCompression& fax) {
    std::uint32_t width = 0;
    if (TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width))
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, length - 1);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out, TIFFTAG_COMPRESSION, fax.compression);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    std::uint16_t value = 0;
    if (TIFFGetField(in, TIFFTAG_FILLORDER, &value))
        TIFFSetField(out, TIFFTAG_FILLORDER, value);
    TIFFSetField(out, TIFFTAG_IMAGEDESCRIPTION, "Dithered B&W version");
    if (TIFFGetField(in, TIFFTAG_ORIENTATION, &value))
        TIFFSetField(out, TIFFTAG_ORIENTATION, value);
    float resolution = 0;
    if (TIFFGetField(in, TIFFTAG_XRESOLUTION, &resolution))
        TIFFSetField(out, TIFFTAG_XRESOLUTION, double(resolution));
    if (TIFFGetField(in, TIFFTAG_YRESOLUTION, &resolution))
        TIFFSetField(out, TIFFTAG_YRESOLUTION, double(resolution));
    if (TIFFGetField(in, TIFFTAG_RESOLUTIONUNIT, &value))
        TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, value);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(out, 0));
    if (fax.compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, fax.group3Options);
}

// One input row into an error row; min-is-white rows are turned into
// brightness first, or the page would come out as its own negative.
void loadRow(std::vector<std::int16_t>& errors, const std::uint8_t* row, bool invert) {
    const std::size_t width = errors.size();
    if (invert) {
        for (std::size_t x = 0; x < width; ++x)
            errors[x] = std::int16_t(255 - row[x]);
    } else {
        for (std::size_t x = 0; x < width; ++x)
            errors[x] = row[x];
    }
}

// Thresholds `current` into `bits` and spreads each pixel's error to its
// right neighbour and, unless `next` is null, to the three below.
void ditherRow(std::vector<std::int16_t>& current, std::vector<std::int16_t>* next,
               std::uint8_t* bits) {
    const int width = int(current.size());
    std::uint8_t mask = 0x80;
    for (int j = 0; j < width; ++j) {
        int v = std::clamp<int>(current[j], 0, 255);
        if (v > kThreshold) {
            *bits |= mask;
            v -= 255;
        }
        mask >>= 1;
        if (mask == 0) {
            ++bits;
            mask = 0x80;
        }
        // Integer division truncates toward zero, as the errors must.
        const bool last = j == width - 1;
        if (!last)
            current[j + 1] = std::int16_t(current[j + 1] + v * 7 / 16);
        if (next) {
            std::vector<std::int16_t>& below = *next;
            if (j > 0)
                below[j - 1] = std::int16_t(below[j - 1] + v * 3 / 16);
            below[j] = std::int16_t(below[j] + v * 5 / 16);
            if (!last)
                below[j + 1] = std::int16_t(below[j + 1] + v / 16);
        }
    }
}

} // namespace

int ditherToBilevel(TIFF* in, TIFF* out, int compressionMode, ProgressTarget /*target*/) {
    const std::optional<FaxCompression> fax = faxCompressionFor(compressionMode);
    if (!in || !out || !fax)
        return kDitherRefused;

    std::uint16_t samplesPerPixel = 1, bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    if (samplesPerPixel != 1) {
        std::fprintf(stderr, "Not a b&w image.\n");
        return kDitherRefused;
    }
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (bitsPerSample != 8) {
        std::fprintf(stderr, "Sorry, only handle 8-bit samples.\n");
        return kDitherRefused;
    }

    PageRowReader rows(in);
    const std::uint32_t width = rows.width();
    const std::uint32_t length = rows.length();
    // The last row only carries errors: a page of one row would leave a page
    // of none, which readers reject.
    if (!rows.valid() || length < 2)
        return kDitherRefused;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool invert = photometric == PHOTOMETRIC_MINISWHITE;

    // Two error rows and a one-bit row; the reader has already bounded the width.
    std::vector<std::int16_t> current, next;
    std::vector<std::uint8_t> bits;
    try {
        current.resize(width);
        next.resize(width);
        bits.resize((std::size_t(width) + 7) / 8);
    } catch (const std::bad_alloc&) {
        return kDitherRefused;
    }

    writeBilevelTags(in, out, length, *fax);
    if (!rows.readRow(0))
        return kDitherStopped;
    loadRow(next, rows.plane(0), invert);
    for (std::uint32_t i = 1; i < length; ++i) {
        std::swap(current, next);
        if (!rows.readRow(i))
            return kDitherStopped;
        loadRow(next, rows.plane(0), invert);
        std::memset(bits.data(), 0, bits.size());
        ditherRow(current, i != length - 1 ? &next : nullptr, bits.data());
        if (TIFFWriteScanline(out, bits.data(), i - 1, 0) < 0)
            return kDitherStopped;
    }
    return kDitherWritten;
}

} // namespace pagesmith
