#include "engine/pdf/PngPredictor.h"

#include <cstdlib>
#include <cstring>

namespace pagesmith {

namespace {

constexpr std::uint8_t kPaeth = 4;

std::uint8_t paeth(int left, int above, int upperLeft) {
    const int estimate = left + above - upperLeft;
    const int toLeft = std::abs(estimate - left);
    const int toAbove = std::abs(estimate - above);
    const int toUpperLeft = std::abs(estimate - upperLeft);
    if (toLeft <= toAbove && toLeft <= toUpperLeft)
        return std::uint8_t(left);
    return std::uint8_t(toAbove <= toUpperLeft ? above : upperLeft);
}

} // namespace

PngPredictor::PngPredictor(std::size_t rowBytes, std::size_t pixelBytes)
    : m_rowBytes(rowBytes), m_pixelBytes(pixelBytes ? pixelBytes : 1), m_previous(rowBytes, 0),
      m_out(rowBytes + 1) {}

const std::uint8_t* PngPredictor::filter(const std::uint8_t* row) {
    std::uint8_t* out = m_out.data() + 1;
    const std::uint8_t* above = m_previous.data();
    m_out[0] = kPaeth;
    const std::size_t first = m_pixelBytes < m_rowBytes ? m_pixelBytes : m_rowBytes;
    for (std::size_t i = 0; i < first; ++i)
        out[i] = std::uint8_t(row[i] - above[i]);
    for (std::size_t i = first; i < m_rowBytes; ++i)
        out[i] =
            std::uint8_t(row[i] - paeth(row[i - m_pixelBytes], above[i], above[i - m_pixelBytes]));
    std::memcpy(m_previous.data(), row, m_rowBytes);
    return m_out.data();
}

} // namespace pagesmith
