#include "engine/threads/PageAddress.h"

#include "tiff/OpenForReading.h"

namespace pagesmith {

PageAddress PageAddress::of(TIFF* in) {
    PageAddress address;
    const char* name = in ? TIFFFileName(in) : nullptr;
    const std::optional<platform::FileIdentity> identity =
        name && *name ? platform::identityOf(TIFFFileno(in)) : std::nullopt;
    if (!identity)
        return address;
    address.m_file = *identity;
    address.m_path = name;
    address.m_directoryOffset = TIFFCurrentDirOffset(in);
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (compression == COMPRESSION_JPEG)
        TIFFGetField(in, TIFFTAG_JPEGCOLORMODE, &address.m_jpegColorMode);
    return address;
}

bool PageAddress::samePageAs(const PageAddress& other) const {
    return *this && other && m_file == other.m_file &&
           m_directoryOffset == other.m_directoryOffset && m_jpegColorMode == other.m_jpegColorMode;
}

TiffHandle PageAddress::open() const {
    if (m_path.empty())
        return {};
    // The same mode as the engine's inputs, so strips are laid out alike.
    TiffHandle again = openTiffForReading(m_path, "rm");
    if (!again || platform::identityOf(TIFFFileno(again.get())) != m_file ||
        !TIFFSetSubDirectory(again.get(), m_directoryOffset))
        return {};
    if (m_jpegColorMode >= 0 && !TIFFSetField(again.get(), TIFFTAG_JPEGCOLORMODE, m_jpegColorMode))
        return {};
    return again;
}

} // namespace pagesmith
