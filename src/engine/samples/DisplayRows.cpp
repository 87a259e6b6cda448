#include "engine/samples/DisplayRows.h"

#include "base/SizeMath.h"

namespace pagesmith {

DisplayRows::DisplayRows(TIFF* in) : m_rows(in) {
    if (!m_rows.valid())
        return;
    m_channels = m_rows.colour() == EightBitColour::Grey ? 1 : 3;
    if (m_rows.colour() == EightBitColour::Cmyk) {
        m_rgb = ByteBuffer(checkedMultiply(m_rows.width(), 3));
        if (!m_rgb)
            return;
    }
    m_valid = true;
}

const std::uint8_t* DisplayRows::row(std::uint32_t row) {
    if (!m_valid)
        return nullptr;
    const std::uint8_t* samples = m_rows.row(row);
    if (!samples || m_rows.colour() != EightBitColour::Cmyk)
        return samples;
    std::uint8_t* rgb = m_rgb.data();
    for (std::uint32_t x = 0; x < m_rows.width(); ++x, samples += 4, rgb += 3)
        inksToRgb(samples, rgb);
    return m_rgb.data();
}

} // namespace pagesmith
