#include "base/SizeMath.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

namespace pagesmith {

bool ImageBuffer::allocate(std::size_t rowBytesOfPlane, std::uint32_t imageWidth,
                           std::uint32_t imageLength, std::uint16_t planeCount) {
    bytes = ByteBuffer(checkedMultiply(rowBytesOfPlane, imageLength, planeCount));
    rowBytes = bytes ? rowBytesOfPlane : 0;
    width = bytes ? imageWidth : 0;
    length = bytes ? imageLength : 0;
    planes = bytes ? planeCount : 0;
    return static_cast<bool>(bytes);
}

bool copyThroughImageBuffer(ImageReader reader, ImageWriter writer, TIFF* in, TIFF* out,
                            std::uint32_t length, std::uint32_t width, std::uint16_t spp) {
    if (!pagesAgree(in, out, length, width, spp) || planarConfig(in) != planarConfig(out))
        return false;
    const std::uint16_t planes = planarConfig(in) == PLANARCONFIG_SEPARATE ? spp : 1;
    ImageBuffer image;
    if (!image.allocate(*byteCount(TIFFScanlineSize(in)), width, length, planes))
        return false;
    // Unreadable strips or tiles are not a failure, but a page whose layout
    // cannot be read at all would come out blank and is.
    if (!reader(in, image))
        return false;
    return writer(out, image);
}

bool copySeparateStripsToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                               std::uint16_t samplesPerPixel, const ReadAhead* /*ahead*/) {
    return copyThroughImageBuffer(readSeparateStrips, writeSeparateTiles, in, out, length, width,
                                  samplesPerPixel);
}

bool copySeparateTilesToStrips(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                               std::uint16_t samplesPerPixel, const ReadAhead* /*ahead*/) {
    return copyThroughImageBuffer(readSeparateTiles, writeSeparateStrips, in, out, length, width,
                                  samplesPerPixel);
}

} // namespace pagesmith
