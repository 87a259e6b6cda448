#include "engine/fax/Dither.h"

#include "base/ByteBuffer.h"
#include "base/ReportMessages.h"
#include "engine/samples/DecodedRows.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

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
std::optional<FaxCompression> faxCompressionFor(CompressionMode mode) {
    const CompressionModeInfo* info = compressionModeInfo(mode);
    if (!info || !isBilevelCompression(info->compression))
        return std::nullopt;
    return FaxCompression{info->compression,
                          info->group3Options < 0 ? 0u : std::uint32_t(info->group3Options)};
}

// What the one-bit page takes from a grey page in a file.
BilevelSource bilevelSourceOf(TIFF* in, std::uint32_t length) {
    BilevelSource grey;
    grey.length = length;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &grey.width);
    std::uint16_t value = 0;
    if (TIFFGetField(in, TIFFTAG_FILLORDER, &value))
        grey.fillOrder = value;
    if (TIFFGetField(in, TIFFTAG_ORIENTATION, &value))
        grey.orientation = value;
    float resolution = 0;
    if (TIFFGetField(in, TIFFTAG_XRESOLUTION, &resolution))
        grey.xResolution = resolution;
    if (TIFFGetField(in, TIFFTAG_YRESOLUTION, &resolution))
        grey.yResolution = resolution;
    if (TIFFGetField(in, TIFFTAG_RESOLUTIONUNIT, &value))
        grey.resolutionUnit = value;
    return grey;
}

// One input row into an error row; min-is-white rows are turned into
// brightness first, or the page would come out as its own negative.
void loadRow(const ZeroedBuffer<std::int16_t>& errors, const std::uint8_t* row, bool invert) {
    const std::size_t width = errors.size();
    if (invert) {
        for (std::size_t x = 0; x < width; ++x)
            errors[x] = std::int16_t(255 - row[x]);
    } else {
        for (std::size_t x = 0; x < width; ++x)
            errors[x] = row[x];
    }
}

// The shares of a corrected value's error, each divided on its own with
// truncation toward zero. Looking them up keeps the chain from one pixel to
// the next short: an add and a load of eight bytes.
struct Shares {
    std::int16_t right;      // 7/16
    std::int16_t belowLeft;  // 3/16
    std::int16_t below;      // 5/16
    std::int16_t belowRight; // 1/16
};

// A pixel's error stays within -126..128, so a row value (0..255 plus at most
// 72 from the row above) plus the share from the left (at most 56) stays
// within -127..383.
constexpr int kLowestSum = -128;
constexpr int kSums = 512;

constexpr int errorOf(int sum) {
    const int v = std::clamp(sum, 0, 255);
    return v > kThreshold ? v - 255 : v;
}

constexpr std::array<Shares, kSums> makeShares() {
    std::array<Shares, kSums> shares{};
    for (int i = 0; i < kSums; ++i) {
        const int v = errorOf(i + kLowestSum);
        shares[i] = {std::int16_t(v * 7 / 16), std::int16_t(v * 3 / 16), std::int16_t(v * 5 / 16),
                     std::int16_t(v / 16)};
    }
    return shares;
}

constexpr std::array<Shares, kSums> kShares = makeShares();

// Thresholds one row into `bits` and spreads each pixel's error: 7/16 to its
// right, and, when Spread, 3/16, 5/16 and 1/16 to the row below (left, under,
// right).
//
// The shares bound to the right and below are carried in registers and added
// once per pixel; the sums are the same as adding every share in place, as
// none comes near the 16-bit limits the rows are stored in.
template <bool Spread>
void ditherRow(const std::int16_t* current, std::int16_t* below, std::uint8_t* bits, int width) {
    const Shares* shares = kShares.data() - kLowestSum;
    int right = 0;      // share on its way to pixel j
    int belowLeft = 0;  // shares gathered for below[j - 1]
    int belowUnder = 0; // shares gathered for below[j]
    unsigned byte = 0;
    for (int j = 0; j < width; ++j) {
        const int sum = current[j] + right;
        const Shares& share = shares[sum];
        right = share.right;
        byte = (byte << 1) | unsigned(sum > kThreshold); // white above the threshold
        if ((j & 7) == 7) {
            *bits++ = std::uint8_t(byte);
            byte = 0;
        }
        if constexpr (Spread) {
            if (j > 0)
                below[j - 1] = std::int16_t(below[j - 1] + belowLeft + share.belowLeft);
            belowLeft = belowUnder + share.below;
            belowUnder = share.belowRight; // dropped after the last column
        }
    }
    if constexpr (Spread)
        below[width - 1] = std::int16_t(below[width - 1] + belowLeft);
    if (width & 7)
        *bits = std::uint8_t(byte << (8 - (width & 7)));
}

} // namespace

Diffusion::Diffusion(std::uint32_t width, std::uint32_t length, bool invert)
    : m_width(width), m_length(length), m_invert(invert), m_current(std::size_t(width)),
      m_next(std::size_t(width)), m_bits((std::size_t(width) + 7) / 8) {}

const std::uint8_t* Diffusion::feed(const std::uint8_t* grey) {
    const std::uint32_t i = m_row++;
    if (i == 0) {
        loadRow(m_next, grey, m_invert);
        return nullptr;
    }
    std::swap(m_current, m_next);
    loadRow(m_next, grey, m_invert);
    // The last input row only carries errors: nothing spreads into it.
    if (i != m_length - 1)
        ditherRow<true>(m_current.data(), m_next.data(), m_bits.data(), int(m_width));
    else
        ditherRow<false>(m_current.data(), nullptr, m_bits.data(), int(m_width));
    return m_bits.data();
}

bool writeBilevelTags(const BilevelSource& grey, TIFF* out, CompressionMode compressionMode) {
    const std::optional<FaxCompression> fax = faxCompressionFor(compressionMode);
    if (!fax)
        return false;
    if (grey.width != 0)
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, grey.width);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, grey.length - 1);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out, TIFFTAG_COMPRESSION, fax->compression);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    if (grey.fillOrder)
        TIFFSetField(out, TIFFTAG_FILLORDER, *grey.fillOrder);
    TIFFSetField(out, TIFFTAG_IMAGEDESCRIPTION, "Dithered B&W version");
    if (grey.orientation)
        TIFFSetField(out, TIFFTAG_ORIENTATION, *grey.orientation);
    if (grey.xResolution)
        TIFFSetField(out, TIFFTAG_XRESOLUTION, double(*grey.xResolution));
    if (grey.yResolution)
        TIFFSetField(out, TIFFTAG_YRESOLUTION, double(*grey.yResolution));
    if (grey.resolutionUnit)
        TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, *grey.resolutionUnit);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(out, 0));
    if (fax->compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, fax->group3Options);
    return true;
}

int ditherToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode, std::string* refusal) {
    if (!in || !out || !faxCompressionFor(compressionMode))
        return kDitherRefused;

    const auto refuse = [refusal](const char* why) {
        if (refusal)
            *refusal = why;
        return kDitherRefused;
    };
    std::uint16_t samplesPerPixel = 1, bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    if (samplesPerPixel != 1)
        return refuse(messageText(ReportMessage::NotBilevelSamples));
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (bitsPerSample != 8)
        return refuse(messageText(ReportMessage::NotEightBitSamples));

    DecodedRows rows(in);
    const std::uint32_t length = rows.length();
    // The last row only carries errors: a page of one row would leave a page
    // of none, which readers reject.
    if (!rows.valid() || length < 2)
        return kDitherRefused;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    // The reader has already bounded the width.
    Diffusion diffusion(rows.width(), length, photometric == PHOTOMETRIC_MINISWHITE);
    if (!diffusion.valid())
        return kDitherRefused;

    writeBilevelTags(bilevelSourceOf(in, length), out, compressionMode);
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!rows.readRow(i))
            return kDitherStopped;
        const std::uint8_t* bits = diffusion.feed(rows.plane(0));
        if (bits && TIFFWriteScanline(out, const_cast<std::uint8_t*>(bits), i - 1, 0) < 0)
            return kDitherStopped;
    }
    return kDitherWritten;
}

} // namespace pagesmith
