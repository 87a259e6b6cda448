#include "engine/pdf/PngPredictor.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

namespace {

constexpr std::uint8_t kSub = 1;
constexpr std::uint8_t kUp = 2;

// A filtered byte as the size of the difference it stands for.
unsigned magnitude(std::uint8_t difference) {
    return difference < 128 ? difference : 256u - difference;
}

} // namespace

PngPredictor::PngPredictor(std::size_t rowBytes, std::size_t pixelBytes)
    : m_rowBytes(rowBytes),
      m_pixelBytes(std::clamp<std::size_t>(pixelBytes, 1, rowBytes ? rowBytes : 1)),
      m_previous(rowBytes, 0), m_sub(rowBytes + 1, kSub), m_up(rowBytes + 1, kUp) {}

const std::uint8_t* PngPredictor::filter(const std::uint8_t* row) {
    std::uint8_t* sub = m_sub.data() + 1;
    std::uint8_t* up = m_up.data() + 1;
    const std::uint8_t* above = m_previous.data();
    std::uint64_t subTotal = 0, upTotal = 0;
    for (std::size_t i = 0; i < m_rowBytes; ++i) {
        const std::uint8_t left = i >= m_pixelBytes ? row[i - m_pixelBytes] : 0;
        sub[i] = std::uint8_t(row[i] - left);
        up[i] = std::uint8_t(row[i] - above[i]);
        subTotal += magnitude(sub[i]);
        upTotal += magnitude(up[i]);
    }
    std::memcpy(m_previous.data(), row, m_rowBytes);
    return subTotal <= upTotal ? m_sub.data() : m_up.data();
}

} // namespace pagesmith
