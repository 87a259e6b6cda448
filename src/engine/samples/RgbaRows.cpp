#include "engine/samples/RgbaRows.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/samples/ReadDamage.h"

#include <algorithm>
#include <optional>

namespace pagesmith {

namespace {

template <typename T> bool allocate(ZeroedBuffer<T>& buffer, std::optional<std::size_t> count) {
    buffer = ZeroedBuffer<T>(count);
    return static_cast<bool>(buffer);
}

} // namespace

RgbaRows::RgbaRows(TIFF* in) {
    char message[1024] = {};
    if (!in || !TIFFRGBAImageOK(in, message) || !TIFFRGBAImageBegin(&m_image, in, 1, message))
        return;
    m_begun = true;
    m_width = m_image.width;
    m_length = m_image.height;
    if (m_width == 0 || m_length == 0)
        return;

    // Ask for the orientation the file has, so rows come in stored order, as
    // the scanline readers give them.
    const std::uint16_t orientation = m_image.orientation;
    if (orientation >= ORIENTATION_TOPLEFT && orientation <= ORIENTATION_LEFTBOT)
        m_image.req_orientation = orientation > 4 ? std::uint16_t(orientation - 4) : orientation;

    std::uint32_t unit = m_length;
    if (TIFFIsTiled(in)) {
        TIFFGetField(in, TIFFTAG_TILELENGTH, &unit);
    } else {
        TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &unit);
    }
    unit = std::clamp<std::uint32_t>(unit, 1, m_length);
    const std::size_t rowBytes = std::size_t(m_width) * sizeof(std::uint32_t);
    const std::size_t affordable = std::max<std::size_t>(1, kRgbaBandBytes / rowBytes);
    if (unit > affordable) {
        // Bands start on multiples of 16 rows so subsampled chroma stays aligned.
        unit = std::uint32_t(affordable >= 16 ? affordable - affordable % 16 : affordable);
    }
    m_bandRows = unit;
    m_valid = allocate(m_band, checkedMultiply(m_width, m_bandRows));
}

RgbaRows::~RgbaRows() {
    if (m_begun)
        TIFFRGBAImageEnd(&m_image);
}

const std::uint32_t* RgbaRows::readRow(std::uint32_t row) {
    if (!m_valid || row >= m_length)
        return nullptr;
    if (!m_bandLoaded || row < m_bandStart || row - m_bandStart >= m_bandRows) {
        m_bandLoaded = false;
        m_bandStart = row - row % m_bandRows;
        m_image.row_offset = int(m_bandStart);
        m_image.col_offset = 0;
        const std::uint32_t rows = std::min(m_bandRows, m_length - m_bandStart);
        if (!TIFFRGBAImageGet(&m_image, m_band.data(), m_width, rows)) {
            noteUnreadRows(m_image.tif, 1);
            return nullptr;
        }
        m_bandLoaded = true;
    }
    return m_band.data() + std::size_t(row - m_bandStart) * m_width;
}

} // namespace pagesmith
