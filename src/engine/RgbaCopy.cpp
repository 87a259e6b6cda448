#include "engine/RgbaCopy.h"

#include "engine/ByteBuffer.h"
#include "engine/CopyRoutines.h"
#include "engine/SizeMath.h"

namespace pagesmith {

bool copyThroughRgbaReader(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                           std::uint16_t samplesPerPixel) {
    if (samplesPerPixel != 3 || width == 0 || length == 0)
        return false;
    ZeroedBuffer<std::uint32_t> raster(checkedMultiply(width, length));
    // No half-decoded page is written under an RGB label.
    if (!raster ||
        !TIFFReadRGBAImageOriented(in, width, length, raster.data(), ORIENTATION_TOPLEFT, 0))
        return false;
    ImageBuffer image;
    if (!image.allocate(std::size_t(width) * 3, width, length, 1))
        return false;
    std::uint8_t* rgb = image.row(0, 0);
    for (std::size_t i = 0; i < raster.size(); ++i) {
        const std::uint32_t abgr = raster[i];
        *rgb++ = std::uint8_t(TIFFGetR(abgr));
        *rgb++ = std::uint8_t(TIFFGetG(abgr));
        *rgb++ = std::uint8_t(TIFFGetB(abgr));
    }
    raster = {}; // only the RGB rows are needed now
    return TIFFIsTiled(out) ? writeContigTiles(out, image) : writeContigStrips(out, image);
}

} // namespace pagesmith
