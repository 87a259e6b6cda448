#include "engine/RgbaCopy.h"

#include "engine/CopyRoutines.h"
#include "engine/SizeMath.h"

#include <new>
#include <vector>

namespace pagesmith {

bool copyThroughRgbaReader(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                           std::uint16_t samplesPerPixel) {
    if (samplesPerPixel != 3 || width == 0 || length == 0)
        return false;
    const auto pixels = checkedMultiply(width, length);
    if (!pixels)
        return false;
    try {
        std::vector<std::uint32_t> raster(*pixels);
        // No half-decoded page is written under an RGB label.
        if (!TIFFReadRGBAImageOriented(in, width, length, raster.data(), ORIENTATION_TOPLEFT, 0))
            return false;
        ImageBuffer image;
        if (!image.allocate(std::size_t(width) * 3, width, length, 1))
            return false;
        std::uint8_t* rgb = image.row(0, 0);
        for (const std::uint32_t abgr : raster) {
            *rgb++ = std::uint8_t(TIFFGetR(abgr));
            *rgb++ = std::uint8_t(TIFFGetG(abgr));
            *rgb++ = std::uint8_t(TIFFGetB(abgr));
        }
        std::vector<std::uint32_t>().swap(raster); // only the RGB rows are needed now
        return TIFFIsTiled(out) ? writeContigTiles(out, image) : writeContigStrips(out, image);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace pagesmith
