#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagesmith {

// PNG's row filters, as FlateDecode undoes them with /Predictor 15: each
// row goes out behind a byte naming its filter. Continuous-tone pages
// compress better once each byte is told from its neighbour: the one to its
// left (Sub) or the one above (Up), whichever leaves the smaller values in
// that row. Both cost little, unlike Paeth, which gains little here.
class PngPredictor {
public:
    // Rows of `rowBytes` bytes, `pixelBytes` to a pixel (at least 1).
    PngPredictor(std::size_t rowBytes, std::size_t pixelBytes);

    // The next row filtered: filteredBytes() bytes, valid until the next call.
    const std::uint8_t* filter(const std::uint8_t* row);
    std::size_t filteredBytes() const { return m_rowBytes + 1; }

private:
    std::size_t m_rowBytes;
    std::size_t m_pixelBytes;
    std::vector<std::uint8_t> m_previous; // zeros above the first row
    std::vector<std::uint8_t> m_sub;
    std::vector<std::uint8_t> m_up;
};

} // namespace pagesmith
