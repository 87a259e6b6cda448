#include "support/PageKinds.h"

#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace pagesmith::test {

namespace {

constexpr std::uint16_t kGrey = PHOTOMETRIC_MINISBLACK, kRgb = PHOTOMETRIC_RGB,
                        kPalette = PHOTOMETRIC_PALETTE, kCmyk = PHOTOMETRIC_SEPARATED;
constexpr std::uint16_t kPlanar = PLANARCONFIG_SEPARATE;

bool isFloat(const PageKind& kind) {
    return kind.format == SAMPLEFORMAT_IEEEFP;
}
double lowOf(const PageKind& kind) {
    return kind.high > kind.low ? kind.low : 0.0;
}
double highOf(const PageKind& kind) {
    return kind.high > kind.low ? kind.high : 1.0;
}
std::uint64_t topOf(std::uint16_t bits) {
    return bits == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << bits) - 1;
}
bool decodedByLibtiff(const PageKind& kind) {
    return kind.photometric == PHOTOMETRIC_YCBCR || kind.photometric == PHOTOMETRIC_CIELAB;
}

// The value sample `c` of pixel (x, y) stands for.
double valueAt(const PageKind& kind, std::uint32_t x, std::uint32_t y, int c, std::uint32_t width,
               bool probeBlocks) {
    const std::size_t probePixels = kind.probes.size() / kind.samplesPerPixel;
    std::size_t pixel = std::size_t(y) * width + x;
    if (probeBlocks && probePixels)
        pixel = (x / 16 + y / 16) % probePixels;
    if (pixel < probePixels)
        return kind.probes[pixel * kind.samplesPerPixel + std::size_t(c)];
    const unsigned k = (x * 7 + y * 11 + unsigned(c) * 5 + 3) % 17;
    const std::uint16_t bits = kind.bitsPerSample;
    // Multiples of 1/64 just off the halves, a little past both ends of the range.
    if (isFloat(kind))
        return lowOf(kind) + (highOf(kind) - lowOf(kind)) * (8.0 * (k % 10) - 7) / 64.0;
    if (kind.photometric == kPalette)
        return double(std::uint64_t(k) * topOf(bits) / 16);
    if (bits == 64)
        return double(std::uint64_t(k % 16) << 60); // exact as a double
    const std::uint64_t v = k == 16     ? topOf(bits)
                            : bits >= 4 ? std::uint64_t(k) << (bits - 4)
                                        : k >> (4 - bits);
    if (kind.format == SAMPLEFORMAT_INT)
        return double(std::int64_t(v) - (std::int64_t(1) << (bits - 1)));
    return double(v);
}

std::uint16_t toHalf(double value) {
    if (value == 0)
        return 0;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(value), &exponent); // 0.5 <= mantissa < 1
    const std::uint16_t sign = value < 0 ? 0x8000 : 0;
    return std::uint16_t(sign | (exponent + 14) << 10 | unsigned((mantissa * 2 - 1) * 1024));
}

template <typename T> void store(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

void putSample(std::uint8_t* row, std::size_t index, const PageKind& kind, double value) {
    const std::uint16_t bits = kind.bitsPerSample;
    if (isFloat(kind)) {
        if (bits == 16)
            store(row + index * 2, toHalf(value));
        else if (bits == 32)
            store(row + index * 4, float(value));
        else
            store(row + index * 8, value);
        return;
    }
    const std::uint64_t raw = kind.format == SAMPLEFORMAT_INT
                                  ? std::uint64_t(std::int64_t(value)) & topOf(bits)
                                  : std::uint64_t(value);
    switch (bits) {
    case 8:
        row[index] = std::uint8_t(raw);
        return;
    case 16:
        store(row + index * 2, std::uint16_t(raw));
        return;
    case 32:
        store(row + index * 4, std::uint32_t(raw));
        return;
    case 64:
        store(row + index * 8, raw);
        return;
    default:
        for (std::uint16_t b = 0; b < bits; ++b) {
            const std::size_t bit = index * bits + b;
            if ((raw >> (bits - 1 - b)) & 1)
                row[bit / 8] |= std::uint8_t(0x80 >> (bit % 8));
        }
    }
}

// A sample's value made 8-bit by the rules.
unsigned eightBitOf(const PageKind& kind, double value) {
    if (isFloat(kind)) {
        const double share = (value - lowOf(kind)) / (highOf(kind) - lowOf(kind));
        if (!(share > 0))
            return 0;
        return share >= 1 ? 255 : unsigned(std::floor(share * 255 + 0.5));
    }
    std::uint64_t raw = std::uint64_t(value);
    if (kind.format == SAMPLEFORMAT_INT)
        raw = std::uint64_t(std::int64_t(value) + (std::int64_t(1) << (kind.bitsPerSample - 1)));
    return unsigned((unsigned __int128)raw * 255 / topOf(kind.bitsPerSample));
}

struct ColourMap {
    std::vector<std::uint16_t> red, green, blue;
};

ColourMap colourMapOf(const PageKind& kind) {
    const std::size_t entries = std::size_t(1) << kind.bitsPerSample;
    ColourMap map;
    for (std::size_t j = 0; j < entries; ++j) {
        std::uint32_t red =
            entries == 65536 ? std::uint32_t(j) : std::uint32_t(j * (65535 / (entries - 1)));
        std::uint32_t green = 65535 - red;
        std::uint32_t blue = std::uint32_t(j * j * 257) & 0xFFFF;
        if (kind.eightBitMap) {
            red /= 257;
            green /= 257;
            blue /= 257;
        }
        map.red.push_back(std::uint16_t(red));
        map.green.push_back(std::uint16_t(green));
        map.blue.push_back(std::uint16_t(blue));
    }
    return map;
}

unsigned mapEntry(const PageKind& kind, std::uint16_t entry) {
    return kind.eightBitMap ? entry : entry * 255u / 65535u;
}

// Alpha composited on white: additive values (brightness, RGB) go towards
// 255, ink and min-is-white darkness towards 0.
unsigned onWhite(unsigned value, unsigned alpha, bool associated, bool additive) {
    if (!associated)
        value = (value * alpha + 127) / 255;
    if (additive)
        value = std::min(255u, value + 255 - alpha);
    return value;
}

void reducePixel(const PageKind& kind, const ColourMap& map, const std::vector<double>& values,
                 ReducedPage& page) {
    const bool associated = kind.alpha == EXTRASAMPLE_ASSOCALPHA;
    const unsigned alpha = kind.alpha ? eightBitOf(kind, values.back()) : 255;
    const auto composite = [&](unsigned value, bool additive) {
        return kind.alpha ? onWhite(value, alpha, associated, additive) : value;
    };
    std::vector<unsigned> out;
    switch (kind.photometric) {
    case PHOTOMETRIC_MINISWHITE:
        out = {255 - composite(eightBitOf(kind, values[0]), false)};
        break;
    case kGrey:
        out = {composite(eightBitOf(kind, values[0]), true)};
        break;
    case kPalette: {
        const std::size_t index = std::size_t(values[0]);
        for (const auto* channel : {&map.red, &map.green, &map.blue})
            out.push_back(composite(mapEntry(kind, (*channel)[index]), true));
        break;
    }
    case kRgb:
        for (int c = 0; c < 3; ++c)
            out.push_back(composite(eightBitOf(kind, values[std::size_t(c)]), true));
        break;
    case kCmyk:
        for (int c = 0; c < 4; ++c)
            out.push_back(composite(eightBitOf(kind, values[std::size_t(c)]), false));
        break;
    }
    page.channels = std::uint16_t(out.size());
    page.samples.insert(page.samples.end(), out.begin(), out.end());
    if (out.size() == 1)
        page.grey.push_back(std::uint8_t(out[0]));
    else if (out.size() == 3)
        page.grey.push_back(weigh(out[0], out[1], out[2]));
    else
        page.grey.push_back(weigh((255 - out[3]) * (255 - out[0]) / 255,
                                  (255 - out[3]) * (255 - out[1]) / 255,
                                  (255 - out[3]) * (255 - out[2]) / 255));
}

// Subsampled YCbCr as scanners store it uncompressed: blocks of 2 x 2 luma
// samples followed by one Cb and one Cr.
void writeSubsampledYCbCr(const PageKind& kind, const std::filesystem::path& path,
                          std::uint32_t width, std::uint32_t length, bool probeBlocks) {
    TiffHandle file(path.string(), "w");
    ASSERT_TRUE(file);
    TIFF* tif = file.get();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, length);
    std::vector<std::uint8_t> units;
    for (std::uint32_t y = 0; y < length; y += 2)
        for (std::uint32_t x = 0; x < width; x += 2) {
            if (probeBlocks) {
                const double* probe = &kind.probes[(x / 16 + y / 16) % 2 * 3];
                units.insert(units.end(), 4, std::uint8_t(probe[0]));
                units.insert(units.end(), {std::uint8_t(probe[1]), std::uint8_t(probe[2])});
                continue;
            }
            for (std::uint32_t i = 0; i < 4; ++i)
                units.push_back(std::uint8_t(16 + ((x + i % 2) * 23 + (y + i / 2) * 41) % 220));
            units.push_back(std::uint8_t(128 + int(x * 13 % 90) - 45));
            units.push_back(std::uint8_t(128 + int(y * 29 % 90) - 45));
        }
    ASSERT_GE(TIFFWriteEncodedStrip(tif, 0, units.data(), tmsize_t(units.size())), 0);
    ASSERT_TRUE(TIFFWriteDirectory(tif));
}

ReducedPage reducedByLibtiff(const std::filesystem::path& path) {
    ReducedPage page;
    page.channels = 3;
    for (const std::uint32_t abgr : readRgba(path)) {
        page.samples.insert(page.samples.end(),
                            {std::uint8_t(TIFFGetR(abgr)), std::uint8_t(TIFFGetG(abgr)),
                             std::uint8_t(TIFFGetB(abgr))});
        page.grey.push_back(weigh(TIFFGetR(abgr), TIFFGetG(abgr), TIFFGetB(abgr)));
    }
    return page;
}

} // namespace

std::uint8_t weigh(unsigned red, unsigned green, unsigned blue) {
    return std::uint8_t((77 * red + 151 * green + 29 * blue) >> 8);
}

std::vector<std::uint8_t> shownSamples(const ReducedPage& page) {
    if (page.channels != 4)
        return page.samples;
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < page.samples.size(); i += 4) {
        const unsigned white = 255 - page.samples[i + 3];
        for (std::size_t c = 0; c < 3; ++c)
            rgb.push_back(std::uint8_t(white * (255 - page.samples[i + c]) / 255));
    }
    return rgb;
}

PageKind kind(const char* name, std::uint16_t photometric, std::uint16_t samples,
              std::uint16_t bits, std::vector<double> probes, std::vector<int> greys) {
    PageKind result;
    result.name = name;
    result.photometric = photometric;
    result.samplesPerPixel = samples;
    result.bitsPerSample = bits;
    result.probes = std::move(probes);
    result.greys = std::move(greys);
    return result;
}

namespace {

PageKind planar(PageKind kind) {
    kind.planar = PLANARCONFIG_SEPARATE;
    return kind;
}
PageKind tiled(PageKind kind) {
    kind.tiled = true;
    return kind;
}
PageKind format(PageKind kind, std::uint16_t format) {
    kind.format = format;
    return kind;
}
PageKind floating(PageKind kind, double low = 0, double high = 0) {
    kind.format = SAMPLEFORMAT_IEEEFP;
    kind.low = low;
    kind.high = high;
    return kind;
}
PageKind alpha(PageKind kind, std::uint16_t type) {
    kind.alpha = type;
    return kind;
}
PageKind compressed(PageKind kind, std::uint16_t compression) {
    kind.compression = compression;
    return kind;
}
PageKind eightBitMap(PageKind kind) {
    kind.eightBitMap = true;
    return kind;
}

constexpr std::uint16_t kUnassociated = EXTRASAMPLE_UNASSALPHA;

} // namespace

const std::vector<PageKind>& pageKinds() {
    // The greys of the probes are worked out in the comments.
    static const std::vector<PageKind> kinds = {
        // Entries (0, 65535, 0) -> (0, 255, 0) -> 150; (65535, 0, 257) -> (255, 0, 1) -> 76.
        kind("palette, 1 bit", kPalette, 1, 1, {0, 1}, {150, 76}),
        // 2: (43690, 21845, 1028) -> (170, 85, 4) -> 101; 3: (255, 0, 9) -> 77.
        kind("palette, 2 bits", kPalette, 1, 2, {2, 3}, {101, 77}),
        // 8-bit entries j * 17, 255 - j * 17, j * j: 3 -> (51, 204, 9) -> 136; 15 -> 102.
        eightBitMap(kind("palette, 4 bits, 8-bit map", kPalette, 1, 4, {3, 15}, {136, 102})),
        tiled(eightBitMap(kind("palette, 4 bits, tiled", kPalette, 1, 4, {3, 15}, {136, 102}))),
        // 100: (25700, 39835, 14096) -> (100, 155, 54) -> 127; 0 -> 150.
        kind("palette, 8 bits", kPalette, 1, 8, {100, 0}, {127, 150}),
        // 65535: (255, 0, 1) -> 76; 32768: (127, 127, 0) -> 113.
        kind("palette, 16 bits", kPalette, 1, 16, {65535, 32768}, {76, 113}),
        kind("grey, 2 bits", kGrey, 1, 2, {1, 2, 3}, {85, 170, 255}),
        // Darkness 0, 15 and 6 of 15.
        kind("grey, 4 bits, min-is-white", PHOTOMETRIC_MINISWHITE, 1, 4, {0, 15, 6}, {255, 0, 153}),
        // 2048 * 255 / 4095 = 127.5; 16 * 255 / 4095 = 0.99.
        kind("grey, 12 bits", kGrey, 1, 12, {4095, 2048, 16}, {255, 127, 0}),
        kind("grey, 16 bits", kGrey, 1, 16, {65535, 32768, 25700, 256}, {255, 127, 100, 0}),
        // Shifted up by 32768 first.
        format(
            kind("grey, 16 bits, signed", kGrey, 1, 16, {-32768, 0, 32767, -1}, {0, 127, 255, 127}),
            SAMPLEFORMAT_INT),
        // (2^32 - 1) / 255 = 16843009.
        kind("grey, 32 bits", kGrey, 1, 32, {4294967295.0, 2147483648.0, 16843009}, {255, 127, 1}),
        // 2^63 is 127.5 of 255; 2^64 - 2048 is 255 less a little.
        kind("grey, 64 bits", kGrey, 1, 64, {9223372036854775808.0, 18446744073709549568.0, 0},
             {127, 254, 0}),
        floating(
            kind("grey, 16-bit floating point", kGrey, 1, 16, {0.5, 0.125, 1.0}, {128, 32, 255})),
        floating(kind("grey, 32-bit floating point", kGrey, 1, 32, {0.5, 1.5, -0.25, 0.25},
                      {128, 255, 0, 64})),
        // (80 + 100) / 300 = 0.6; (-25 + 100) / 300 = 0.25.
        floating(kind("grey, 32-bit floating point, -100 to 200", kGrey, 1, 32,
                      {80, -100, 200, -25}, {153, 0, 255, 64}),
                 -100, 200),
        floating(kind("grey, 64-bit floating point", kGrey, 1, 64, {0.75, 2.0}, {191, 255})),
        // 200 at alpha 128: (200 * 128 + 127) / 255 = 100, and 127 of white.
        alpha(kind("grey with alpha", kGrey, 2, 8, {100, 255, 100, 0, 200, 128}, {100, 255, 227}),
              kUnassociated),
        // Darkness 255 at alpha 128 keeps 128 of it: brightness 127.
        planar(alpha(kind("grey with alpha, min-is-white, 16 bits, planar", PHOTOMETRIC_MINISWHITE,
                          2, 16, {65535, 32896, 65535, 0}, {127, 255}),
                     kUnassociated)),
        kind("RGB, 1 bit", kRgb, 3, 1, {1, 0, 0, 1, 1, 1, 0, 1, 0}, {76, 255, 150}),
        // (255, 136, 0) -> 156; (17, 34, 51) -> 30.
        kind("RGB, 4 bits", kRgb, 3, 4, {15, 8, 0, 1, 2, 3}, {156, 30}),
        kind("RGB, 16 bits", kRgb, 3, 16, {65535, 0, 0, 25700, 25700, 25700}, {76, 100}),
        planar(kind("RGB, 16 bits, planar", kRgb, 3, 16, {65535, 0, 0, 25700, 25700, 25700},
                    {76, 100})),
        tiled(kind("RGB, 16 bits, tiled", kRgb, 3, 16, {65535, 0, 0, 25700, 25700, 25700},
                   {76, 100})),
        planar(floating(kind("RGB, 32-bit floating point, planar", kRgb, 3, 32,
                             {1, 0, 0, 0.5, 0.5, 0.5}, {76, 128}))),
        // (100, 50, 200) at 128, associated: (227, 177, 255) -> 201.
        alpha(kind("RGB with alpha, associated", kRgb, 4, 8, {100, 50, 200, 128, 10, 20, 30, 255},
                   {201, 18}),
              EXTRASAMPLE_ASSOCALPHA),
        // (255, 0, 0) at 128, unassociated: (128 + 127, 127, 127) -> 165.
        planar(alpha(kind("RGB with alpha, 16 bits, planar", kRgb, 4, 16,
                          {65535, 0, 0, 32896, 0, 0, 0, 65535}, {165, 0}),
                     kUnassociated)),
        // Cyan alone: (0, 255, 255) -> 179; K 128: 127 of each colour.
        kind("CMYK", kCmyk, 4, 8, {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 128}, {255, 179, 127}),
        planar(kind("CMYK, planar", kCmyk, 4, 8, {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 128},
                    {255, 179, 127})),
        // Magenta alone: (255, 0, 255) -> 105.
        kind("CMYK, 16 bits", kCmyk, 4, 16, {0, 65535, 0, 0, 32896, 32896, 32896, 0}, {105, 127}),
        // The fifth ink has no colour; yellow alone: (255, 255, 0) -> 227.
        kind("CMYK, five inks", kCmyk, 5, 8, {0, 0, 0, 0, 255, 0, 0, 255, 0, 0}, {255, 227}),
        // K 255 at alpha 128 keeps 128 of its ink.
        alpha(kind("CMYK with alpha", kCmyk, 5, 8, {0, 0, 0, 255, 128, 255, 255, 255, 255, 0},
                   {127, 255}),
              kUnassociated),
        // Through libtiff's own conversion: their probes have no grey by hand.
        compressed(kind("YCbCr, JPEG", PHOTOMETRIC_YCBCR, 3, 8, {200, 100, 50, 20, 220, 90}),
                   COMPRESSION_JPEG),
        compressed(kind("YCbCr, subsampled", PHOTOMETRIC_YCBCR, 3, 8, {180, 90, 160, 60, 150, 110}),
                   COMPRESSION_NONE),
        kind("CIE L*a*b*", PHOTOMETRIC_CIELAB, 3, 8, {50, 10, 246, 90, 0, 0}),
    };
    return kinds;
}

ReducedPage writeKind(const PageKind& kind, const std::filesystem::path& path, std::uint32_t width,
                      std::uint32_t length, bool probeBlocks) {
    if (kind.photometric == PHOTOMETRIC_YCBCR && kind.compression != COMPRESSION_JPEG) {
        writeSubsampledYCbCr(kind, path, width, length, probeBlocks);
        return reducedByLibtiff(path);
    }
    TestPage page;
    page.width = width;
    page.length = length;
    page.bitsPerSample = kind.bitsPerSample;
    page.samplesPerPixel = kind.samplesPerPixel;
    page.photometric = kind.photometric;
    page.planar = kind.planar;
    page.compression = kind.compression;
    page.tiled = kind.tiled;
    page.jpegFromRgb = kind.compression == COMPRESSION_JPEG;
    const ColourMap map = kind.photometric == kPalette ? colourMapOf(kind) : ColourMap{};
    page.extraTags = [&kind, &map](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, kind.format);
        if (kind.alpha)
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind.alpha);
        if (kind.high > kind.low) {
            TIFFSetField(tif, TIFFTAG_SMINSAMPLEVALUE, kind.low);
            TIFFSetField(tif, TIFFTAG_SMAXSAMPLEVALUE, kind.high);
        }
        if (!map.red.empty())
            TIFFSetField(tif, TIFFTAG_COLORMAP, map.red.data(), map.green.data(), map.blue.data());
    };

    ReducedPage reduced;
    page.pixels.assign(page.rasterBytes(), 0);
    const bool separate = kind.planar == kPlanar;
    const std::size_t planeBytes = page.rowBytes() * length;
    for (std::uint32_t y = 0; y < length; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::vector<double> values;
            for (int c = 0; c < kind.samplesPerPixel; ++c) {
                values.push_back(valueAt(kind, x, y, c, width, probeBlocks));
                std::uint8_t* row =
                    page.pixels.data() + (separate ? c * planeBytes : 0) + y * page.rowBytes();
                putSample(row, separate ? x : std::size_t(x) * kind.samplesPerPixel + c, kind,
                          values.back());
            }
            if (!decodedByLibtiff(kind))
                reducePixel(kind, map, values, reduced);
        }
    writeTiff(path, page);
    return decodedByLibtiff(kind) ? reducedByLibtiff(path) : reduced;
}

} // namespace pagesmith::test
