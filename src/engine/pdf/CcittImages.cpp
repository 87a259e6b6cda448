#include "engine/pdf/CcittImages.h"

#include "engine/pdf/StoredStrips.h"
#include "engine/pdf/StoredStripsData.h"

#include <algorithm>
#include <climits>

namespace pagesmith {

namespace {

// Bytes of a strip enough to find its first end-of-line code and the bit after it.
constexpr std::size_t kHeadBytes = 64;

struct CcittCoding {
    int k = -1; // PDF's K: negative Group 4, 0 one-dimensional, positive mixed
    bool byteAlign = false;
    bool joinable = false; // strips can follow one another in one image
};

// The bit at `index` of MSB-first data.
bool bitAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    return (bytes[index / 8] >> (7 - index % 8)) & 1;
}

// Whether the strip begins with an end-of-line code (after fill bits) and, in
// two-dimensional coding, with a line coded on its own, so that it needs
// nothing of the strip before it.
bool beginsALine(const std::vector<std::uint8_t>& head, bool twoDimensional) {
    const std::size_t bits = head.size() * 8;
    std::size_t zeros = 0;
    while (zeros < bits && !bitAt(head, zeros))
        ++zeros;
    if (zeros < 11 || zeros >= bits)
        return false;
    const std::size_t next = zeros + 1;
    return !twoDimensional || (next < bits && bitAt(head, next));
}

bool stripsBeginLines(TIFF* in, const StoredStrips& strips, bool reverseBits, bool twoDimensional) {
    std::vector<std::uint8_t> head;
    for (std::uint32_t strip = 0; strip < strips.count; ++strip) {
        if (!readStripHead(in, strip, kHeadBytes, head))
            return false;
        if (reverseBits)
            TIFFReverseBits(head.data(), tmsize_t(head.size()));
        if (!beginsALine(head, twoDimensional))
            return false;
    }
    return true;
}

bool codingOf(TIFF* in, std::uint16_t compression, CcittCoding& coding, std::uint32_t length) {
    switch (compression) {
    case COMPRESSION_CCITTRLE:
        // Every line one-dimensional and starting on a byte, without EOL codes.
        coding = {0, true, true};
        return true;
    case COMPRESSION_CCITTFAX3: {
        std::uint32_t options = 0;
        TIFFGetField(in, TIFFTAG_GROUP3OPTIONS, &options);
        if (options & GROUP3OPT_UNCOMPRESSED)
            return false;
        // Each line says how it is coded; K only bounds how many 2D lines may
        // follow a 1D one, so the page's length allows any.
        const bool twoDimensional = options & GROUP3OPT_2DENCODING;
        coding.k = twoDimensional ? int(std::clamp<std::uint32_t>(length, 1, INT_MAX)) : 0;
        coding.byteAlign = options & GROUP3OPT_FILLBITS;
        coding.joinable = true; // where each strip begins a line, checked below
        return true;
    }
    case COMPRESSION_CCITTFAX4: {
        std::uint32_t options = 0;
        TIFFGetField(in, TIFFTAG_GROUP4OPTIONS, &options);
        if (options & GROUP4OPT_UNCOMPRESSED)
            return false;
        coding = {-1, false, false};
        return true;
    }
    default:
        return false;
    }
}

PdfImage ccittImage(std::uint32_t width, std::uint32_t rows, std::uint32_t top,
                    const CcittCoding& coding, bool blackIs1) {
    PdfImage image;
    image.width = width;
    image.rows = rows;
    image.top = top;
    image.bitsPerComponent = 1;
    image.colour = PdfColourSpace::Gray;
    image.filter = "/CCITTFaxDecode";
    image.parameters = {{"/K", coding.k},
                        {"/Columns", std::int64_t(width)},
                        {"/Rows", std::int64_t(rows)},
                        {"/EndOfBlock", 0, true}};
    if (coding.byteAlign)
        image.parameters.push_back({"/EncodedByteAlign", 1, true});
    if (blackIs1)
        image.parameters.push_back({"/BlackIs1", 1, true});
    return image;
}

} // namespace

std::vector<PdfImage> ccittImages(TIFF* in, const PdfPageSource& source,
                                  const std::shared_ptr<PageDamage>& damage) {
    std::uint16_t compression = COMPRESSION_NONE, bits = 1, samples = 1, photometric = 0;
    std::uint16_t fillOrder = FILLORDER_MSB2LSB;
    std::uint32_t width = 0;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(in, TIFFTAG_FILLORDER, &fillOrder);
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    // Without the tag, as the page's own decoding takes it.
    if (!TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = PHOTOMETRIC_MINISBLACK;
    if (bits != 1 || samples != 1 || width == 0 ||
        (photometric != PHOTOMETRIC_MINISWHITE && photometric != PHOTOMETRIC_MINISBLACK))
        return {};
    StoredStrips strips;
    if (!storedStripsOf(in, source.path, strips))
        return {};
    CcittCoding coding;
    if (!codingOf(in, compression, coding, strips.length))
        return {};

    const bool reverseBits = fillOrder == FILLORDER_LSB2MSB;
    // The codes stand for black and white runs; a min-is-black page stores
    // its black runs as ones, which it shows as white.
    const bool blackIs1 = photometric == PHOTOMETRIC_MINISBLACK;
    if (compression == COMPRESSION_CCITTFAX3 && strips.count > 1)
        coding.joinable = stripsBeginLines(in, strips, reverseBits, coding.k > 0);

    // Joined strips go in groups of a bounded size; the others one by one.
    std::vector<StripGroup> groups;
    if (coding.joinable) {
        groups = stripGroups(in, strips);
    } else {
        for (std::uint32_t strip = 0; strip < strips.count; ++strip)
            groups.push_back({strip, 1});
    }
    std::vector<PdfImage> images;
    for (const StripGroup& group : groups) {
        std::vector<std::uint32_t> members;
        std::uint32_t rows = 0;
        for (std::uint32_t strip = group.first; strip < group.first + group.count; ++strip) {
            members.push_back(strip);
            rows += strips.rowsOf(strip);
        }
        images.push_back(
            ccittImage(width, rows, group.first * strips.rowsPerStrip, coding, blackIs1));
        images.back().data = std::make_shared<StoredStripsData>(source, strips, std::move(members),
                                                                "", 0, reverseBits, damage);
    }
    return images;
}

} // namespace pagesmith
