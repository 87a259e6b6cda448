#pragma once

#include <tiffio.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pagesmith::test {

// A kind of page that fax and JPEG take through its 8-bit samples, written
// from the values its samples stand for.
struct PageKind {
    const char* name;
    std::uint16_t photometric;
    std::uint16_t samplesPerPixel;
    std::uint16_t bitsPerSample;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t compression = COMPRESSION_LZW;
    std::uint16_t alpha = 0;  // ExtraSamples of the last sample; 0 for none
    double low = 0, high = 0; // SMinSampleValue and SMaxSampleValue, when high > low
    bool eightBitMap = false; // palette entries written as 8-bit values
    bool tiled = false;
    std::vector<double> probes; // the samples of the first pixels, pixel by pixel
    std::vector<int> greys;     // their greys, worked out by hand
};

// A kind of `bits`-bit samples, `samples` a pixel, with its probes.
PageKind kind(const char* name, std::uint16_t photometric, std::uint16_t samples,
              std::uint16_t bits, std::vector<double> probes = {}, std::vector<int> greys = {});

// One of each kind the fax and JPEG modes used to refuse, and a few they
// always took, decoded by libtiff's own conversion (YCbCr, CIE L*a*b*).
const std::vector<PageKind>& pageKinds();

// What the rules make of a kind's page: per pixel the 8-bit samples (grey as
// brightness, RGB or CMYK) and the grey fax dithers.
struct ReducedPage {
    std::uint16_t channels = 1;
    std::vector<std::uint8_t> samples;
    std::vector<std::uint8_t> grey;
};

// Writes a page of the kind to `path`: its first pixels the probes, the rest
// a pattern over the whole range of the samples; or, for every pixel of a
// 16 x 16 block, the probe of that block (whole blocks survive JPEG). Returns
// what the rules make of it, worked out in the test from the values written
// (or from libtiff's own decoding, for YCbCr and CIE L*a*b*).
ReducedPage writeKind(const PageKind& kind, const std::filesystem::path& path, std::uint32_t width,
                      std::uint32_t length, bool probeBlocks = false);

// What a screen shows of a reduced page's samples: grey and RGB as they
// are, CMYK as what each ink and the black leave of white.
std::vector<std::uint8_t> shownSamples(const ReducedPage& page);

// (77 R + 151 G + 29 B) / 256, rounded down.
std::uint8_t weigh(unsigned red, unsigned green, unsigned blue);

} // namespace pagesmith::test
