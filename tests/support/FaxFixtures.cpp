#include "support/FaxFixtures.h"

#include "inspect/ReportLines.h"
#include "platform/Utf8Paths.h"
#include "tiff/TiffHandle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace pagesmith::test {

TestPage uniformPage(std::uint32_t width, std::uint32_t length, std::uint16_t samplesPerPixel,
                     std::uint16_t photometric, std::uint8_t value) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.samplesPerPixel = samplesPerPixel;
    page.photometric = photometric;
    page.pixels.assign(std::size_t(width) * length * samplesPerPixel, value);
    return page;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes)
        text += formatText("%02X ", byte);
    return text;
}

void damageStrip(const std::filesystem::path& path, std::uint32_t strip) {
    std::uint64_t offset = 0, count = 0;
    {
        TiffHandle file(platform::utf8FromPath(path), "r");
        ASSERT_TRUE(file) << "cannot open " << path;
        const std::uint32_t units = TIFFIsTiled(file.get()) ? TIFFNumberOfTiles(file.get())
                                                            : TIFFNumberOfStrips(file.get());
        ASSERT_LT(strip, units) << path << " has no strip or tile " << strip;
        offset = TIFFGetStrileOffset(file.get(), strip);
        count = TIFFGetStrileByteCount(file.get(), strip);
    }
    ASSERT_GT(count, 0u) << "strip " << strip << " of " << path << " is empty";
    std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(std::streamoff(offset));
    const std::string garbage(std::size_t(count), '\xFF');
    bytes.write(garbage.data(), std::streamsize(garbage.size()));
    ASSERT_TRUE(bytes.good()) << "cannot damage " << path;
}

} // namespace pagesmith::test
