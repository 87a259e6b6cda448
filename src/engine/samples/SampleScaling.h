#pragma once

#include <tiffio.h>

#include <cstddef>
#include <cstdint>

namespace pagesmith {

// How a page codes its samples, as far as turning them into 8-bit values goes.
struct SampleCoding {
    std::uint16_t bits = 8;
    std::uint16_t format = SAMPLEFORMAT_UINT; // UINT, INT or IEEEFP
    // The values floating-point samples span: SMinSampleValue and
    // SMaxSampleValue where the page has them, else 0 to 1.
    double low = 0.0;
    double high = 1.0;
};

// Sample `index` of a decoded row: 8, 16, 24, 32 and 64 bits as the codec
// hands them out (in the machine's byte order), other sizes packed from the
// high bit. Any size from 1 to 64 bits; the bits as they are, unsigned.
std::uint64_t sampleAt(const std::uint8_t* row, std::size_t index, std::uint16_t bits);

// Scales `count` samples of a decoded row to 8 bits, samples first,
// first + step, ... into out[0], out[outStep], ...:
// - unsigned integers of b bits: v * 255 / (2^b - 1), rounded down;
// - signed integers: shifted up by half their range first;
// - floating point (16, 32 or 64 bits): (v - low) / (high - low) * 255,
//   rounded to the nearest and held within 0..255; not-a-number gives 0.
void scaleToEightBits(const std::uint8_t* row, const SampleCoding& coding, std::size_t first,
                      std::size_t step, std::uint32_t count, std::uint8_t* out,
                      std::size_t outStep);

} // namespace pagesmith
