#include "support/DamagedStrip.h"

#include "engine/TiffHandle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace pagesmith::test {

void damageStrip(const std::filesystem::path& path, std::uint32_t strip) {
    std::uint64_t offset = 0, count = 0;
    {
        TiffHandle file(path.string(), "r");
        ASSERT_TRUE(file) << "cannot open " << path;
        ASSERT_LT(strip, TIFFNumberOfStrips(file.get())) << path << " has no strip " << strip;
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
