#include "engine/threads/PageAddress.h"

#include "tiff/OpenForReading.h"

#include <sys/stat.h>

namespace pagesmith {

namespace {

bool identify(int descriptor, std::uint64_t& device, std::uint64_t& inode) {
    struct stat info;
    if (descriptor < 0 || ::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    device = std::uint64_t(info.st_dev);
    inode = std::uint64_t(info.st_ino);
    return true;
}

} // namespace

PageAddress PageAddress::of(TIFF* in) {
    PageAddress address;
    const char* name = in ? TIFFFileName(in) : nullptr;
    if (!name || !*name || !identify(TIFFFileno(in), address.m_device, address.m_inode))
        return address;
    address.m_path = name;
    address.m_directoryOffset = TIFFCurrentDirOffset(in);
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (compression == COMPRESSION_JPEG)
        TIFFGetField(in, TIFFTAG_JPEGCOLORMODE, &address.m_jpegColorMode);
    return address;
}

bool PageAddress::samePageAs(const PageAddress& other) const {
    return *this && other && m_device == other.m_device && m_inode == other.m_inode &&
           m_directoryOffset == other.m_directoryOffset && m_jpegColorMode == other.m_jpegColorMode;
}

TiffHandle PageAddress::open() const {
    if (m_path.empty())
        return {};
    // The same mode as the engine's inputs, so strips are laid out alike.
    TiffHandle again = openTiffForReading(m_path, "rm");
    std::uint64_t device = 0, inode = 0;
    if (!again || !identify(TIFFFileno(again.get()), device, inode) || device != m_device ||
        inode != m_inode || !TIFFSetSubDirectory(again.get(), m_directoryOffset))
        return {};
    if (m_jpegColorMode >= 0 && !TIFFSetField(again.get(), TIFFTAG_JPEGCOLORMODE, m_jpegColorMode))
        return {};
    return again;
}

} // namespace pagesmith
