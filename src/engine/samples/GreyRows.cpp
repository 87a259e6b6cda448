#include "engine/samples/GreyRows.h"

#include "base/ReportMessages.h"
#include "engine/samples/DecodedRows.h"
#include "engine/samples/EightBitRows.h"
#include "engine/samples/RgbaRows.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace pagesmith {

namespace {

// Parts of 256; they sum to 257 so that white stays 255.
constexpr unsigned kRedWeight = 77;
constexpr unsigned kGreenWeight = 151;
constexpr unsigned kBlueWeight = 29;

inline std::uint8_t weigh(unsigned red, unsigned green, unsigned blue) {
    return std::uint8_t((kRedWeight * red + kGreenWeight * green + kBlueWeight * blue) >> 8);
}

using GrayTable = std::array<std::uint8_t, 256>;

// The grey of every palette index. Maps whose entries all stay below 256 were
// written with 8-bit values; the others are scaled down from 16 bits.
bool paletteGrays(TIFF* in, GrayTable& grays) {
    std::uint16_t* maps[3] = {nullptr, nullptr, nullptr};
    if (!TIFFGetField(in, TIFFTAG_COLORMAP, &maps[0], &maps[1], &maps[2]) || !maps[0] || !maps[1] ||
        !maps[2])
        return false;
    // Copies: the library's arrays belong to the input's directory.
    std::array<std::array<unsigned, 256>, 3> colours{};
    bool sixteenBit = false;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) {
            colours[c][i] = maps[c][i];
            sixteenBit = sixteenBit || maps[c][i] >= 256;
        }
    if (sixteenBit) {
        for (auto& colour : colours)
            for (int i = 255; i >= 0; --i)
                colour[i] = colour[i] * 255 / 65535;
    } else {
        TIFFWarningExtR(in, TIFFFileName(in), "Assuming 8-bit colormap");
    }
    for (int i = 0; i < 256; ++i)
        grays[i] = weigh(colours[0][i], colours[1][i], colours[2][i]);
    return true;
}

// CMYK made RGB as libtiff's RGBA reader makes it, then weighed.
inline std::uint8_t weighInks(const std::uint8_t* cmyk) {
    std::uint8_t rgb[3];
    inksToRgb(cmyk, rgb);
    return weigh(rgb[0], rgb[1], rgb[2]);
}

} // namespace

GreyRows::GreyRows(TIFF* in) {
    if (!in)
        return;

    std::uint16_t photometric = 0xFFFF;
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool ycbcr = photometric == PHOTOMETRIC_YCBCR;
    std::uint16_t samplesPerPixel = 1, bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    // 8-bit RGB, YCbCr and palette pages keep the reading they always had;
    // every other page comes through its samples made 8-bit.
    const bool colour =
        photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE || ycbcr;
    if (!colour || samplesPerPixel != (photometric == PHOTOMETRIC_PALETTE ? 1 : 3) ||
        bitsPerSample != 8) {
        readEightBits(in);
        return;
    }

    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &m_width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &m_length);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);

    if (ycbcr && compression == COMPRESSION_JPEG && planar == PLANARCONFIG_CONTIG) {
        // The JPEG codec converts to RGB itself; rows then read as RGB.
        TIFFSetField(in, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    } else if (ycbcr) {
        // Old-style JPEG ignores the colour mode, and plain YCbCr rows come
        // subsampled: the RGBA reader converts both, a band at a time.
        m_source = Source::Rgba;
        m_rgba = std::make_unique<RgbaRows>(in);
        if (!m_rgba->valid()) {
            m_refusal =
                formatMessage<ReportMessage::PhotometricNotColour>(unsigned(PHOTOMETRIC_YCBCR), 8u);
            return;
        }
    } else if (photometric == PHOTOMETRIC_PALETTE) {
        m_source = Source::Palette;
        if (!paletteGrays(in, m_grays)) {
            m_refusal = messageText(ReportMessage::PaletteWithoutMap);
            return;
        }
    } else if (planar == PLANARCONFIG_SEPARATE) {
        m_source = Source::RgbSeparate;
    }
    if (!m_rgba) {
        m_rows = std::make_unique<DecodedRows>(in);
        if (!m_rows->valid() || m_rows->width() != m_width || m_rows->length() != m_length)
            return;
        m_rowsPerUnit = storedRows(in, m_length);
    }
    if (m_width == 0 || m_length == 0)
        return;
    m_grey = ByteBuffer(std::size_t(m_width));
    m_valid = static_cast<bool>(m_grey);
}

GreyRows::~GreyRows() = default;

void GreyRows::readEightBits(TIFF* in) {
    m_source = Source::EightBits;
    m_eightBits = std::make_unique<EightBitRows>(in);
    if (!m_eightBits->valid()) {
        m_refusal = m_eightBits->refusal();
        return;
    }
    m_width = m_eightBits->width();
    m_length = m_eightBits->length();
    m_rowsPerUnit = m_eightBits->rowsPerUnit();
    m_grey = ByteBuffer(std::size_t(m_width));
    m_valid = static_cast<bool>(m_grey);
}

const std::uint8_t* GreyRows::eightBitRow(std::uint32_t row) {
    const std::uint8_t* samples = m_eightBits->row(row);
    if (!samples)
        return nullptr;
    std::uint8_t* out = m_grey.data();
    switch (m_eightBits->colour()) {
    case EightBitColour::Grey:
        return samples;
    case EightBitColour::Rgb:
        for (std::uint32_t x = 0; x < m_width; ++x, samples += 3)
            out[x] = weigh(samples[0], samples[1], samples[2]);
        break;
    case EightBitColour::Cmyk:
        for (std::uint32_t x = 0; x < m_width; ++x, samples += 4)
            out[x] = weighInks(samples);
        break;
    }
    return out;
}

const std::uint8_t* GreyRows::row(std::uint32_t row) {
    if (!m_valid)
        return nullptr;
    if (m_source == Source::EightBits)
        return eightBitRow(row);
    std::uint8_t* out = m_grey.data();
    if (m_source == Source::Rgba) {
        const std::uint32_t* pixels = m_rgba->readRow(row);
        if (!pixels)
            return nullptr;
        for (std::uint32_t x = 0; x < m_width; ++x)
            out[x] = weigh(TIFFGetR(pixels[x]), TIFFGetG(pixels[x]), TIFFGetB(pixels[x]));
        return out;
    }
    if (!m_rows->readRow(row))
        return nullptr;
    if (m_source == Source::RgbContig) {
        const std::uint8_t* rgb = m_rows->plane(0);
        for (std::uint32_t x = 0; x < m_width; ++x, rgb += 3)
            out[x] = weigh(rgb[0], rgb[1], rgb[2]);
    } else if (m_source == Source::RgbSeparate) {
        const std::uint8_t* red = m_rows->plane(0);
        const std::uint8_t* green = m_rows->plane(1);
        const std::uint8_t* blue = m_rows->plane(2);
        for (std::uint32_t x = 0; x < m_width; ++x)
            out[x] = weigh(red[x], green[x], blue[x]);
    } else {
        const std::uint8_t* indices = m_rows->plane(0);
        for (std::uint32_t x = 0; x < m_width; ++x)
            out[x] = m_grays[indices[x]];
    }
    return out;
}

} // namespace pagesmith
