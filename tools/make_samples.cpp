// Writes the sample folder that "make run" converts: a few small documents of
// the kinds an office keeps (a faxed letter, a colour photo, a grey scan, a
// PackBits form) and one file that is not TIFF. Deterministic: running it
// again writes the same bytes.
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Page {
    std::uint32_t width;
    std::uint32_t length;
    std::uint16_t bitsPerSample;
    std::uint16_t samplesPerPixel;
    std::uint16_t photometric;
    std::uint16_t compression;
    std::uint32_t rowsPerStrip;
    std::vector<std::uint8_t> pixels; // rows of packed samples
    const char* description;
};

std::uint32_t nextRandom(std::uint32_t& state) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFF;
}

// A bilevel page of "typed lines": rows of black word blocks on white.
Page letterPage(std::uint32_t width, std::uint32_t length, std::uint32_t seed) {
    Page page{width, length,        1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, 0,
              {},    "Faxed letter"};
    const std::size_t rowBytes = (width + 7) / 8;
    page.pixels.assign(rowBytes * length, 0);
    std::uint32_t state = seed;
    for (std::uint32_t top = 120; top + 24 < length - 100; top += 40) {
        std::uint32_t x = 150;
        const std::uint32_t lineEnd = width - 150 - nextRandom(state) % 300;
        while (x < lineEnd) {
            const std::uint32_t word = 20 + nextRandom(state) % 90;
            for (std::uint32_t y = top; y < top + 22; ++y)
                for (std::uint32_t i = x; i < std::min(x + word, lineEnd); ++i)
                    page.pixels[y * rowBytes + i / 8] |= std::uint8_t(0x80 >> (i % 8));
            x += word + 14;
        }
    }
    return page;
}

Page colourPhoto() {
    const std::uint32_t width = 320, length = 240;
    Page page{width, length, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, 16, {}, "Colour photo"};
    page.pixels.resize(std::size_t(width) * length * 3);
    for (std::uint32_t y = 0; y < length; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = &page.pixels[(std::size_t(y) * width + x) * 3];
            const int dx = int(x) - 200, dy = int(y) - 110;
            const bool sun = dx * dx + dy * dy < 45 * 45;
            pixel[0] = sun ? 250 : std::uint8_t(60 + y / 3);
            pixel[1] = sun ? 210 : std::uint8_t(y > 160 ? 120 + x / 8 : 90 + y / 2);
            pixel[2] = sun ? 40 : std::uint8_t(y > 160 ? 40 : 230 - y / 2);
        }
    return page;
}

Page greyScan() {
    const std::uint32_t width = 300, length = 200;
    Page page{width, length, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 32, {}, "Grey scan"};
    page.pixels.resize(std::size_t(width) * length);
    for (std::uint32_t y = 0; y < length; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            page.pixels[std::size_t(y) * width + x] = std::uint8_t((x * 255) / (width - 1));
    return page;
}

Page packBitsForm() {
    Page page = letterPage(800, 600, 7);
    page.compression = COMPRESSION_PACKBITS;
    page.rowsPerStrip = 64;
    page.description = "PackBits form";
    return page;
}

bool writeFile(const std::filesystem::path& path, const std::vector<Page>& pages) {
    TIFF* tif = TIFFOpen(path.string().c_str(), "w");
    if (!tif)
        return false;
    bool ok = true;
    for (std::size_t n = 0; n < pages.size() && ok; ++n) {
        const Page& page = pages[n];
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                     page.rowsPerStrip ? page.rowsPerStrip : page.length);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, page.bitsPerSample == 1 ? 204.0 : 150.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, page.bitsPerSample == 1 ? 196.0 : 150.0);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, page.description);
        if (pages.size() > 1)
            TIFFSetField(tif, TIFFTAG_PAGENUMBER, std::uint16_t(n), std::uint16_t(pages.size()));
        const std::size_t rowBytes = page.pixels.size() / page.length;
        for (std::uint32_t row = 0; row < page.length && ok; ++row)
            ok = TIFFWriteScanline(tif, const_cast<std::uint8_t*>(&page.pixels[row * rowBytes]),
                                   row, 0) >= 0;
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const bool ok =
        writeFile(folder / "fax-letter.tif", {letterPage(1728, 1100, 1), letterPage(1728, 1100, 2),
                                              letterPage(1728, 1100, 3)}) &&
        writeFile(folder / "colour-photo.tif", {colourPhoto()}) &&
        writeFile(folder / "grey-scan.tif", {greyScan()}) &&
        writeFile(folder / "packbits-form.tif", {packBitsForm()});
    std::ofstream(folder / "cover-note.txt")
        << "Scanned on the office copier. The TIFF files here are samples for Pagesmith.\n";
    if (!ok) {
        std::fprintf(stderr, "make-samples: cannot write the samples into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
