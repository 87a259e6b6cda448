#include "engine/samples/EightBitRows.h"

#include "base/ReportMessages.h"
#include "base/SizeMath.h"
#include "engine/samples/DecodedRows.h"
#include "engine/samples/RgbaRows.h"

#include <algorithm>
#include <cmath>

namespace pagesmith {

namespace {

bool decodedByRgbaReader(std::uint16_t photometric, std::uint16_t compression) {
    // Old-style JPEG hands its rows out reliably only through that reader.
    if (compression == COMPRESSION_OJPEG)
        return true;
    switch (photometric) {
    case PHOTOMETRIC_YCBCR:
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB:
    case PHOTOMETRIC_LOGL:
    case PHOTOMETRIC_LOGLUV:
        return true;
    default:
        return false;
    }
}

// Tiles whose rows of packed samples end inside a byte cannot be cut into
// rows of the page without shifting every bit.
bool tilesSplitBytes(TIFF* in, std::uint16_t samplesInRow, std::uint16_t bits) {
    std::uint32_t tileWidth = 0;
    return TIFFIsTiled(in) && TIFFGetField(in, TIFFTAG_TILEWIDTH, &tileWidth) &&
           (std::uint64_t(tileWidth) * samplesInRow * bits) % 8 != 0;
}

void readFloatRange(TIFF* in, SampleCoding& coding) {
    double low = 0.0, high = 1.0;
    TIFFGetField(in, TIFFTAG_SMINSAMPLEVALUE, &low);
    TIFFGetField(in, TIFFTAG_SMAXSAMPLEVALUE, &high);
    // A range that says nothing leaves the default one.
    if (std::isfinite(low) && std::isfinite(high) && high > low) {
        coding.low = low;
        coding.high = high;
    }
}

void planAlpha(TIFF* in, EightBitPlan& plan, std::uint16_t colourSamples) {
    std::uint16_t count = 0;
    std::uint16_t* types = nullptr;
    if (!TIFFGetField(in, TIFFTAG_EXTRASAMPLES, &count, &types) || count == 0 || !types ||
        count > plan.samplesPerPixel || plan.samplesPerPixel - count < colourSamples)
        return;
    // Only the first extra sample can be alpha, as libtiff's RGBA reader has it.
    if (types[0] != EXTRASAMPLE_ASSOCALPHA && types[0] != EXTRASAMPLE_UNASSALPHA)
        return;
    plan.alphaSample = plan.samplesPerPixel - count;
    plan.alphaAssociated = types[0] == EXTRASAMPLE_ASSOCALPHA;
}

EightBitPlan refused(EightBitPlan plan, std::string why) {
    plan.refusal = std::move(why);
    return plan;
}

EightBitPlan throughRgbaReader(TIFF* in, EightBitPlan plan, std::uint16_t photometric) {
    char message[1024] = {};
    if (!TIFFRGBAImageOK(in, message))
        return refused(std::move(plan), formatMessage<ReportMessage::PhotometricNotColour>(
                                            unsigned(photometric), unsigned(plan.coding.bits)));
    plan.source = EightBitPlan::Source::Rgba;
    plan.colour = EightBitColour::Rgb;
    return plan;
}

// Composites a colour value on white at 8 bits. Additive values (brightness,
// RGB) move towards 255, subtractive ones (ink, min-is-white) towards 0.
template <bool Additive, bool Associated>
void composite(std::uint8_t* colours, const std::uint8_t* alpha, std::uint32_t width,
               std::uint16_t channels) {
    for (std::uint32_t x = 0; x < width; ++x, colours += channels) {
        const unsigned a = alpha[x];
        for (std::uint16_t c = 0; c < channels; ++c) {
            unsigned v = colours[c];
            if constexpr (!Associated)
                v = (v * a + 127) / 255;
            if constexpr (Additive)
                v = std::min(255u, v + 255 - a);
            colours[c] = std::uint8_t(v);
        }
    }
}

} // namespace

std::uint16_t channelsOf(EightBitColour colour) {
    switch (colour) {
    case EightBitColour::Grey:
        return 1;
    case EightBitColour::Rgb:
        return 3;
    case EightBitColour::Cmyk:
        return 4;
    }
    return 1;
}

EightBitPlan planEightBits(TIFF* in) {
    EightBitPlan plan;
    if (!in)
        return refused(std::move(plan), "No page.");
    std::uint16_t bits = 1, format = SAMPLEFORMAT_UINT, photometric = 0;
    std::uint16_t compression = COMPRESSION_NONE, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &plan.samplesPerPixel);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    const std::uint16_t samples = plan.samplesPerPixel;
    // Without the tag, as libtiff's RGBA reader takes such a page.
    if (!TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    plan.coding.bits = bits;
    plan.coding.format = format == SAMPLEFORMAT_VOID ? SAMPLEFORMAT_UINT : format;

    if (samples == 0)
        return refused(std::move(plan), messageText(ReportMessage::NoSamples));
    if (plan.coding.format != SAMPLEFORMAT_UINT && plan.coding.format != SAMPLEFORMAT_INT &&
        plan.coding.format != SAMPLEFORMAT_IEEEFP)
        return refused(std::move(plan),
                       formatMessage<ReportMessage::UnknownSampleFormat>(unsigned(format)));
    if (bits == 0 || bits > 64)
        return refused(std::move(plan),
                       formatMessage<ReportMessage::UnknownSampleBits>(unsigned(bits)));
    if (plan.coding.format == SAMPLEFORMAT_IEEEFP) {
        if (bits != 16 && bits != 32 && bits != 64)
            return refused(std::move(plan),
                           formatMessage<ReportMessage::UnknownFloatBits>(unsigned(bits)));
        readFloatRange(in, plan.coding);
    }
    if (decodedByRgbaReader(photometric, compression))
        return throughRgbaReader(in, std::move(plan), photometric);

    std::uint16_t colourSamples = 1;
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        plan.colour = EightBitColour::Grey;
        plan.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
        break;
    case PHOTOMETRIC_RGB:
        if (samples < 3)
            return refused(std::move(plan),
                           formatMessage<ReportMessage::RgbSampleCount>(unsigned(samples)));
        plan.colour = EightBitColour::Rgb;
        colourSamples = 3;
        break;
    case PHOTOMETRIC_PALETTE: {
        if (plan.coding.format == SAMPLEFORMAT_IEEEFP || bits > 16)
            return refused(std::move(plan),
                           formatMessage<ReportMessage::PaletteBits>(unsigned(bits)));
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(in, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
            return refused(std::move(plan), messageText(ReportMessage::PaletteWithoutMap));
        plan.source = EightBitPlan::Source::Palette;
        plan.colour = EightBitColour::Rgb;
        break;
    }
    case PHOTOMETRIC_SEPARATED: {
        std::uint16_t inkSet = INKSET_CMYK;
        TIFFGetFieldDefaulted(in, TIFFTAG_INKSET, &inkSet);
        // Inks other than the four process colours have no colour of their own.
        if (inkSet != INKSET_CMYK || samples < 4)
            return refused(std::move(plan), messageText(ReportMessage::NotInks));
        plan.colour = EightBitColour::Cmyk;
        colourSamples = 4;
        break;
    }
    default:
        return refused(std::move(plan),
                       formatMessage<ReportMessage::UnknownPhotometric>(unsigned(photometric)));
    }
    planAlpha(in, plan, colourSamples);
    const std::uint16_t samplesInRow = planar == PLANARCONFIG_SEPARATE ? 1 : samples;
    if (tilesSplitBytes(in, samplesInRow, bits))
        return throughRgbaReader(in, std::move(plan), photometric);
    return plan;
}

EightBitRows::EightBitRows(TIFF* in) : m_plan(planEightBits(in)) {
    if (!m_plan)
        return;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &m_width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &m_length);
    if (m_width == 0 || m_length == 0)
        return;
    if (m_plan.source == EightBitPlan::Source::Rgba) {
        m_rgba = std::make_unique<RgbaRows>(in);
        if (!m_rgba->valid() || m_rgba->width() != m_width || m_rgba->length() != m_length)
            return;
    } else {
        m_rows = std::make_unique<DecodedRows>(in);
        if (!m_rows->valid() || m_rows->width() != m_width || m_rows->length() != m_length)
            return;
        if (m_plan.source == EightBitPlan::Source::Palette &&
            !eightBitColourMap(in, m_plan.coding.bits, m_map))
            return;
        m_rowsPerUnit = storedRows(in, m_length);
        if (m_plan.alphaSample >= 0) {
            m_alpha = ByteBuffer(std::size_t(m_width));
            if (!m_alpha)
                return;
        }
    }
    m_out = ByteBuffer(checkedMultiply(m_width, channelsOf(m_plan.colour)));
    m_valid = static_cast<bool>(m_out);
}

EightBitRows::~EightBitRows() = default;

std::size_t EightBitRows::heldBytes() const {
    const std::size_t reader =
        m_rows ? m_rows->heldBytes() : (m_rgba ? m_rgba->heldBytes() : std::size_t(0));
    return reader + m_out.size() + m_alpha.size();
}

bool eightBitColourMap(TIFF* in, std::uint16_t bits,
                       std::array<std::vector<std::uint8_t>, 3>& map) {
    std::uint16_t* maps[3] = {nullptr, nullptr, nullptr};
    if (bits == 0 || bits > 16 ||
        !TIFFGetField(in, TIFFTAG_COLORMAP, &maps[0], &maps[1], &maps[2]) || !maps[0] || !maps[1] ||
        !maps[2])
        return false;
    const std::size_t entries = std::size_t(1) << bits;
    bool sixteenBit = false;
    for (const std::uint16_t* entry : maps)
        sixteenBit =
            sixteenBit || std::any_of(entry, entry + entries, [](auto v) { return v >= 256; });
    for (int c = 0; c < 3; ++c) {
        map[c].resize(entries);
        for (std::size_t i = 0; i < entries; ++i)
            map[c][i] = std::uint8_t(sixteenBit ? maps[c][i] * 255u / 65535u : maps[c][i]);
    }
    return true;
}

const std::uint8_t* EightBitRows::row(std::uint32_t row) {
    if (!m_valid)
        return nullptr;
    if (m_plan.source == EightBitPlan::Source::Rgba)
        return rgbaRow(row);
    if (!m_rows->readRow(row))
        return nullptr;
    return m_plan.source == EightBitPlan::Source::Palette ? paletteRow() : samplesRow();
}

const std::uint8_t* EightBitRows::sampleSource(int sample, std::size_t& first,
                                               std::size_t& step) const {
    if (m_rows->planes() > 1) {
        first = 0;
        step = 1;
        return m_rows->plane(std::uint16_t(sample));
    }
    first = std::size_t(sample);
    step = m_plan.samplesPerPixel;
    return m_rows->plane(0);
}

const std::uint8_t* EightBitRows::samplesRow() {
    const std::uint16_t channels = channelsOf(m_plan.colour);
    std::uint8_t* out = m_out.data();
    std::size_t first = 0, step = 1;
    for (std::uint16_t c = 0; c < channels; ++c) {
        const std::uint8_t* source = sampleSource(c, first, step);
        scaleToEightBits(source, m_plan.coding, first, step, m_width, out + c, channels);
    }
    if (m_plan.alphaSample >= 0) {
        const std::uint8_t* source = sampleSource(m_plan.alphaSample, first, step);
        scaleToEightBits(source, m_plan.coding, first, step, m_width, m_alpha.data(), 1);
        compositeOnWhite(m_alpha.data());
    }
    if (m_plan.minIsWhite)
        for (std::uint32_t x = 0; x < m_width; ++x)
            out[x] = std::uint8_t(255 - out[x]);
    return out;
}

const std::uint8_t* EightBitRows::paletteRow() {
    std::uint8_t* out = m_out.data();
    std::size_t first = 0, step = 1;
    const std::uint8_t* source = sampleSource(0, first, step);
    for (std::uint32_t x = 0; x < m_width; ++x, first += step, out += 3) {
        const std::size_t index = std::size_t(sampleAt(source, first, m_plan.coding.bits));
        out[0] = m_map[0][index];
        out[1] = m_map[1][index];
        out[2] = m_map[2][index];
    }
    if (m_plan.alphaSample >= 0) {
        source = sampleSource(m_plan.alphaSample, first, step);
        scaleToEightBits(source, m_plan.coding, first, step, m_width, m_alpha.data(), 1);
        compositeOnWhite(m_alpha.data());
    }
    return m_out.data();
}

// The RGBA reader hands out colours already multiplied by their alpha.
const std::uint8_t* EightBitRows::rgbaRow(std::uint32_t row) {
    const std::uint32_t* pixels = m_rgba->readRow(row);
    if (!pixels)
        return nullptr;
    std::uint8_t* out = m_out.data();
    for (std::uint32_t x = 0; x < m_width; ++x, out += 3) {
        const unsigned white = 255 - TIFFGetA(pixels[x]);
        out[0] = std::uint8_t(std::min(255u, TIFFGetR(pixels[x]) + white));
        out[1] = std::uint8_t(std::min(255u, TIFFGetG(pixels[x]) + white));
        out[2] = std::uint8_t(std::min(255u, TIFFGetB(pixels[x]) + white));
    }
    return m_out.data();
}

void EightBitRows::compositeOnWhite(const std::uint8_t* alpha) {
    // Ink and min-is-white values are darkness: white paper is 0.
    const bool additive = m_plan.colour != EightBitColour::Cmyk && !m_plan.minIsWhite;
    const std::uint16_t channels = channelsOf(m_plan.colour);
    std::uint8_t* out = m_out.data();
    if (additive && m_plan.alphaAssociated)
        composite<true, true>(out, alpha, m_width, channels);
    else if (additive)
        composite<true, false>(out, alpha, m_width, channels);
    else if (!m_plan.alphaAssociated)
        composite<false, false>(out, alpha, m_width, channels);
    // Associated darkness on white is the darkness as stored.
}

} // namespace pagesmith
