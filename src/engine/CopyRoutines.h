#pragma once

#include <tiffio.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagesmith {

// Moves one page's pixels from the input to the output, which already carries
// its directory. Arguments: the input page's ImageLength, ImageWidth and
// SamplesPerPixel. True on success. Read errors are ignored (the buffer is
// written with what it holds); write errors fail the copy.
using CopyRoutine = bool (*)(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel);

// Picks the routine for the storage layout of both sides; nullptr (after a
// message on standard error) for a layout it does not know.
CopyRoutine chooseCopyRoutine(TIFF* in, TIFF* out, std::uint16_t bitsPerSample,
                              std::uint16_t samplesPerPixel);

// Streaming routines.
bool copyRowsContig(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                    std::uint16_t samplesPerPixel);
bool copyStripsDecoded(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                       std::uint16_t samplesPerPixel);
bool copyRowsSeparateToSeparate(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                                std::uint16_t samplesPerPixel);

// A whole decoded page: `length` rows of `rowBytes` bytes, the samples of a
// pixel interleaved.
struct ImageBuffer {
    std::vector<std::uint8_t> bytes;
    std::size_t rowBytes = 0;
    std::uint32_t length = 0;
};

using ImageReader = bool (*)(TIFF* in, ImageBuffer& image, std::uint32_t width,
                             std::uint16_t samplesPerPixel);
using ImageWriter = bool (*)(TIFF* out, const ImageBuffer& image, std::uint32_t width,
                             std::uint16_t samplesPerPixel);

bool readContigStrips(TIFF* in, ImageBuffer& image, std::uint32_t width, std::uint16_t spp);
bool readSeparateStrips(TIFF* in, ImageBuffer& image, std::uint32_t width, std::uint16_t spp);
bool readContigTiles(TIFF* in, ImageBuffer& image, std::uint32_t width, std::uint16_t spp);
bool readSeparateTiles(TIFF* in, ImageBuffer& image, std::uint32_t width, std::uint16_t spp);

bool writeContigStrips(TIFF* out, const ImageBuffer& image, std::uint32_t width, std::uint16_t spp);
bool writeSeparateStrips(TIFF* out, const ImageBuffer& image, std::uint32_t width,
                         std::uint16_t spp);
bool writeContigTiles(TIFF* out, const ImageBuffer& image, std::uint32_t width, std::uint16_t spp);
bool writeSeparateTiles(TIFF* out, const ImageBuffer& image, std::uint32_t width,
                        std::uint16_t spp);

// Allocates the image buffer (TIFFRasterScanlineSize(in) x length; failure
// when it overflows or cannot be had), runs the reader, then the writer.
bool copyThroughImageBuffer(ImageReader reader, ImageWriter writer, TIFF* in, TIFF* out,
                            std::uint32_t length, std::uint32_t width, std::uint16_t spp);

} // namespace pagesmith
