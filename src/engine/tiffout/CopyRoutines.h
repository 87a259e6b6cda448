#pragma once

#include "base/ByteBuffer.h"

#include <tiffio.h>

#include <cstddef>
#include <cstdint>

namespace pagesmith {

struct ReadAhead;

// Moves one page's pixels from the input to the output, which already carries
// its directory. Arguments: the input page's ImageLength, ImageWidth and
// SamplesPerPixel. True on success. Read errors are ignored (the buffer is
// written with what it holds); write errors fail the copy. A page whose
// arguments or row sizes disagree between the two files, or whose buffers
// cannot be had, fails without anything being written. With help to read
// ahead (a core to spare, a page decoded ahead), the streaming routines decode
// on other threads while they write; the output is the same byte for byte.
using CopyRoutine = bool (*)(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel, const ReadAhead* ahead);

// Picks the routine for the storage layout of both sides (strips or tiles,
// contiguous or separate planes, same strip height); nullptr, after a message
// on standard error, for a layout it does not know. The choice depends on the
// layout alone: every routine handles any sample size.
CopyRoutine chooseCopyRoutine(TIFF* in, TIFF* out, std::uint16_t bitsPerSample,
                              std::uint16_t samplesPerPixel);

// Streaming routines: one scanline or one strip in memory.
bool copyRowsContig(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                    std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copyStripsDecoded(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                       std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copyRowsSeparateToSeparate(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                                std::uint16_t samplesPerPixel, const ReadAhead* ahead);

// A whole decoded page. Contiguous pages are one plane of `length` rows with
// the samples of a pixel interleaved; pages with separate planes keep one
// plane per sample, one after the other, so any sample size is moved exactly
// and each input strip is decoded once.
struct ImageBuffer {
    ByteBuffer bytes;
    std::size_t rowBytes = 0; // one row of one plane
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    std::uint16_t planes = 1;

    // planes x length rows of rowBytes, zeroed; false when the size overflows
    // or the memory cannot be had.
    bool allocate(std::size_t rowBytes, std::uint32_t width, std::uint32_t length,
                  std::uint16_t planes);
    // The caller keeps plane < planes and row < length.
    std::uint8_t* row(std::uint16_t plane, std::uint32_t y) const {
        return bytes.data() + (std::size_t(plane) * length + y) * rowBytes;
    }
};

// A reader fills the buffer from the input page; false when the page's layout
// cannot be read at all (an unreadable strip or tile is not a failure). A
// writer encodes the buffer into the output page; false at the first failed
// write. Each checks that the buffer has the shape its side needs.
using ImageReader = bool (*)(TIFF* in, ImageBuffer& image);
using ImageWriter = bool (*)(TIFF* out, const ImageBuffer& image);

bool readContigStrips(TIFF* in, ImageBuffer& image);
bool readSeparateStrips(TIFF* in, ImageBuffer& image);
bool readContigTiles(TIFF* in, ImageBuffer& image);
bool readSeparateTiles(TIFF* in, ImageBuffer& image);

bool writeContigStrips(TIFF* out, const ImageBuffer& image);
bool writeSeparateStrips(TIFF* out, const ImageBuffer& image);
bool writeContigTiles(TIFF* out, const ImageBuffer& image);
bool writeSeparateTiles(TIFF* out, const ImageBuffer& image);

// Writes a band of the page, its rows firstRow onwards: whole strips of the
// output, or whole rows of its tiles (firstRow starts one).
bool writeBand(TIFF* out, const ImageBuffer& band, std::uint32_t firstRow);
// The same for a band of a contiguous page.
bool writeContigBand(TIFF* out, const ImageBuffer& band, std::uint32_t firstRow);

// Allocates the image buffer for the input page, runs the reader, then the
// writer; the writer's result is the result.
bool copyThroughImageBuffer(ImageReader reader, ImageWriter writer, TIFF* in, TIFF* out,
                            std::uint32_t length, std::uint32_t width, std::uint16_t spp);

// The image-buffer routines of the layouts that need one.
bool copyContigStripsToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copyContigTilesToStrips(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copyContigTilesToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                            std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copySeparateStripsToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                               std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copySeparateTilesToStrips(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                               std::uint16_t samplesPerPixel, const ReadAhead* ahead);
bool copySeparateTilesToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                              std::uint16_t samplesPerPixel, const ReadAhead* ahead);

} // namespace pagesmith
