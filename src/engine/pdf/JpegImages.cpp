#include "engine/pdf/JpegImages.h"

#include "engine/pdf/JoinedJpegData.h"
#include "engine/pdf/JpegStream.h"
#include "engine/pdf/StoredStrips.h"
#include "engine/pdf/StoredStripsData.h"

#include <utility>

namespace pagesmith {

namespace {

// Stored bytes of a strip read first to find its head; a head with large
// segments (an ICC profile) is looked for in the whole strip.
constexpr std::size_t kHeadBytes = 2048;
constexpr std::size_t kStartOfImageBytes = 2;
constexpr std::uint32_t kLargestRestartInterval = 65535;

const std::string kStartOfImage("\xFF\xD8", 2);

bool readStripJpegHead(TIFF* in, std::uint32_t strip, JpegHead& head) {
    std::vector<std::uint8_t> bytes;
    if (readStripHead(in, strip, kHeadBytes, bytes) &&
        readJpegHead(bytes.data(), bytes.size(), head))
        return true;
    return readWholeStrip(in, strip, bytes) && readJpegHead(bytes.data(), bytes.size(), head);
}

// The colours of the page's JPEG data, as PDF names them; false for a kind
// it has no space for.
bool describeColours(TIFF* in, const JpegHead& head, bool tablesAdobe, PdfImage& image) {
    std::uint16_t photometric = 0, inkSet = INKSET_CMYK;
    TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(in, TIFFTAG_INKSET, &inkSet);
    const bool adobe = head.adobe || tablesAdobe;
    switch (head.components.size()) {
    case 1:
        if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_MINISWHITE)
            return false;
        image.colour = PdfColourSpace::Gray;
        image.inverted = photometric == PHOTOMETRIC_MINISWHITE;
        return true;
    case 3:
        if (photometric != PHOTOMETRIC_RGB && photometric != PHOTOMETRIC_YCBCR)
            return false;
        image.colour = PdfColourSpace::Rgb;
        image.parameters.push_back({"/ColorTransform", photometric == PHOTOMETRIC_YCBCR ? 1 : 0});
        return true;
    case 4:
        if (photometric != PHOTOMETRIC_SEPARATED || inkSet != INKSET_CMYK)
            return false;
        image.colour = PdfColourSpace::Cmyk;
        image.parameters.push_back({"/ColorTransform", head.adobeTransform == 2 ? 1 : 0});
        image.inverted = adobe;
        return true;
    default:
        return false;
    }
}

// Whether the strips can be one JPEG stream: the same head each, frames of
// whole MCU rows, a restart interval that fits a strip.
bool joinable(TIFF* in, const StoredStrips& strips, const JpegHead& first,
              std::uint32_t& interval) {
    if (!first.sequential() || first.scanComponents != int(first.components.size()) ||
        strips.rowsPerStrip % first.mcuHeight() != 0)
        return false;
    const std::uint64_t mcus = (std::uint64_t(first.width) + first.mcuWidth() - 1) /
                               first.mcuWidth() * (strips.rowsPerStrip / first.mcuHeight());
    interval = first.restartInterval ? first.restartInterval : std::uint32_t(mcus);
    if (mcus == 0 || mcus > kLargestRestartInterval || mcus % interval != 0)
        return false;
    for (std::uint32_t strip = 0; strip < strips.count; ++strip) {
        JpegHead head;
        if (!readStripJpegHead(in, strip, head))
            return false;
        const bool last = strip + 1 == strips.count;
        const bool rowsAgree =
            last ? head.height >= strips.rowsOf(strip) : head.height == strips.rowsPerStrip;
        if (!rowsAgree || head.tables != first.tables || head.scan != first.scan ||
            head.restartInterval != first.restartInterval ||
            frameWithHeight(head.frame, 0) != frameWithHeight(first.frame, 0))
            return false;
    }
    return true;
}

} // namespace

std::vector<PdfImage> jpegImages(TIFF* in, const PdfPageSource& source,
                                 const std::shared_ptr<PageDamage>& damage) {
    std::uint16_t compression = COMPRESSION_NONE, bits = 8, samples = 1;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t width = 0;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    if (compression != COMPRESSION_JPEG || bits != 8 || width == 0 ||
        (samples > 1 && planar != PLANARCONFIG_CONTIG))
        return {};
    StoredStrips strips;
    if (!storedStripsOf(in, source.path, strips))
        return {};

    // The tables the strips leave out, from the page's JPEGTables.
    JpegHead tables;
    std::uint32_t tablesSize = 0;
    const void* tablesData = nullptr;
    if (TIFFGetField(in, TIFFTAG_JPEGTABLES, &tablesSize, &tablesData) && tablesData &&
        !readJpegHead(static_cast<const std::uint8_t*>(tablesData), tablesSize, tables, true))
        return {};
    JpegHead first;
    if (!readStripJpegHead(in, 0, first) || first.components.size() != samples ||
        first.precision != 8 || first.width != width ||
        (strips.count == 1 && first.height < strips.length))
        return {};
    // PDF readers take Huffman-coded frames, sequential or progressive.
    if (first.frameMarker != 0xC0 && first.frameMarker != 0xC1 && first.frameMarker != 0xC2)
        return {};

    PdfImage image;
    image.width = width;
    image.bitsPerComponent = 8;
    image.filter = "/DCTDecode";
    if (!describeColours(in, first, tables.adobe, image))
        return {};

    std::vector<PdfImage> images;
    std::uint32_t interval = 0;
    if (strips.count > 1 && joinable(in, strips, first, interval)) {
        // Groups of a bounded size, each one stream.
        for (const StripGroup& group : stripGroups(in, strips)) {
            PdfImage joined = image;
            joined.top = group.first * strips.rowsPerStrip;
            joined.rows = 0;
            for (std::uint32_t strip = group.first; strip < group.first + group.count; ++strip)
                joined.rows += strips.rowsOf(strip);
            const std::string head = kStartOfImage + tables.tables + first.tables +
                                     frameWithHeight(first.frame, joined.rows) +
                                     restartSegment(interval) + first.scan;
            joined.data =
                std::make_shared<JoinedJpegData>(source, strips, group, head, first, damage);
            images.push_back(std::move(joined));
        }
        return images;
    }
    // Each strip a stream of its own, with the tables in front of it.
    const std::string head = kStartOfImage + tables.tables;
    for (std::uint32_t strip = 0; strip < strips.count; ++strip) {
        PdfImage piece = image;
        piece.rows = strips.rowsOf(strip);
        piece.top = strip * strips.rowsPerStrip;
        piece.data =
            std::make_shared<StoredStripsData>(source, strips, std::vector<std::uint32_t>{strip},
                                               head, kStartOfImageBytes, false, damage);
        images.push_back(std::move(piece));
    }
    return images;
}

} // namespace pagesmith
