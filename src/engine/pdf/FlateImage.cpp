#include "engine/pdf/FlateImage.h"

#include "base/MemoryLimits.h"
#include "engine/pdf/FlateRowsData.h"
#include "engine/samples/DecodedRows.h"
#include "engine/samples/EightBitRows.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pagesmith {

namespace {

bool storable(TIFF* in, const EightBitPlan& plan) {
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    const std::uint16_t bits = plan.coding.bits;
    const bool palette = plan.source == EightBitPlan::Source::Palette;
    const std::uint16_t colourSamples = palette ? 1 : channelsOf(plan.colour);
    return (plan.source == EightBitPlan::Source::Samples || palette) &&
           plan.coding.format == SAMPLEFORMAT_UINT &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8) && plan.alphaSample < 0 &&
           plan.samplesPerPixel == colourSamples &&
           (planar == PLANARCONFIG_CONTIG || plan.samplesPerPixel == 1);
}

PdfColourSpace spaceOf(EightBitColour colour) {
    switch (colour) {
    case EightBitColour::Grey:
        return PdfColourSpace::Gray;
    case EightBitColour::Rgb:
        return PdfColourSpace::Rgb;
    case EightBitColour::Cmyk:
        return PdfColourSpace::Cmyk;
    }
    return PdfColourSpace::Gray;
}

std::string paletteOf(TIFF* in, std::uint16_t bits) {
    std::array<std::vector<std::uint8_t>, 3> map;
    if (!eightBitColourMap(in, bits, map))
        return {};
    std::string entries;
    for (std::size_t i = 0; i < map[0].size(); ++i) {
        entries += char(map[0][i]);
        entries += char(map[1][i]);
        entries += char(map[2][i]);
    }
    return entries;
}

} // namespace

std::vector<PdfImage> flateImages(TIFF* in, const PdfPageSource& source,
                                  const std::shared_ptr<PageDamage>& damage, int level,
                                  CoreBudget* cores, std::string& refusal) {
    const EightBitPlan plan = planEightBits(in);
    if (!plan) {
        refusal = plan.refusal;
        return {};
    }
    RowKind rows = RowKind::EightBit;
    std::size_t rowBytes = 0;
    std::uint32_t length = 0;
    PdfImage image;
    if (storable(in, plan)) {
        const DecodedRows reader(in);
        if (!reader.valid() || reader.planes() != 1)
            return {};
        rows = RowKind::Stored;
        rowBytes = reader.rowBytes();
        image.width = reader.width();
        length = reader.length();
        image.bitsPerComponent = plan.coding.bits;
        if (plan.source == EightBitPlan::Source::Palette) {
            image.colour = PdfColourSpace::Indexed;
            image.palette = paletteOf(in, plan.coding.bits);
            if (image.palette.empty())
                return {};
        } else {
            image.colour = spaceOf(plan.colour);
            image.inverted = plan.minIsWhite;
        }
    } else {
        const EightBitRows reader(in);
        if (!reader.valid())
            return {};
        image.width = reader.width();
        length = reader.length();
        rowBytes = std::size_t(reader.width()) * channelsOf(reader.colour());
        image.bitsPerComponent = 8;
        image.colour = spaceOf(reader.colour());
    }
    image.filter = "/FlateDecode";
    // Palette indices and packed bits have no neighbours to predict from.
    std::size_t pixelBytes = 0;
    if (image.bitsPerComponent == 8 && image.colour != PdfColourSpace::Indexed) {
        pixelBytes = rowBytes / image.width;
        image.parameters = {{"/Predictor", 15},
                            {"/Colors", std::int64_t(pixelBytes)},
                            {"/BitsPerComponent", 8},
                            {"/Columns", std::int64_t(image.width)}};
    }
    const std::uint32_t bandRows =
        std::uint32_t(std::clamp<std::size_t>(kMostPdfImageBytes / rowBytes, 1, length));
    std::vector<PdfImage> images;
    for (std::uint32_t first = 0; first < length; first += bandRows) {
        PdfImage band = image;
        band.top = first;
        band.rows = std::min(bandRows, length - first);
        band.data = std::make_shared<FlateRowsData>(source, rows, length, first, band.rows,
                                                    rowBytes, pixelBytes, level, cores, damage);
        images.push_back(std::move(band));
    }
    return images;
}

} // namespace pagesmith
