#include "engine/samples/SampleScaling.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace pagesmith {

namespace {

template <typename T> T load(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// v * 255 / (2^bits - 1), rounded down.
std::uint8_t scaleUnsigned(std::uint64_t v, std::uint16_t bits) {
    if (bits == 8)
        return std::uint8_t(v);
    if (bits == 64)
        return std::uint8_t(v / 0x0101010101010101ull); // (2^64 - 1) / 255
    const std::uint64_t top = (std::uint64_t(1) << bits) - 1;
    if (bits <= 56)
        return std::uint8_t(v * 255 / top);
    return std::uint8_t((unsigned __int128)v * 255 / top);
}

double halfToDouble(std::uint16_t half) {
    const int exponent = (half >> 10) & 0x1F;
    const int mantissa = half & 0x3FF;
    double value;
    if (exponent == 0)
        value = std::ldexp(double(mantissa), -24);
    else if (exponent == 0x1F)
        value = mantissa ? std::nan("") : INFINITY;
    else
        value = std::ldexp(double(mantissa | 0x400), exponent - 25);
    return (half & 0x8000) ? -value : value;
}

struct FloatScale {
    double low;
    double factor;
    std::uint8_t operator()(double v) const {
        const double scaled = (v - low) * factor;
        if (!(scaled > 0.0)) // below the range, or not a number
            return 0;
        if (scaled >= 255.0)
            return 255;
        return std::uint8_t(scaled + 0.5);
    }
};

} // namespace

std::uint64_t sampleAt(const std::uint8_t* row, std::size_t index, std::uint16_t bits) {
    switch (bits) {
    case 8:
        return row[index];
    case 16:
        return load<std::uint16_t>(row + index * 2);
    case 24: {
        const std::uint8_t* at = row + index * 3;
        if constexpr (std::endian::native == std::endian::little)
            return at[0] | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16;
        else
            return at[2] | std::uint32_t(at[1]) << 8 | std::uint32_t(at[0]) << 16;
    }
    case 32:
        return load<std::uint32_t>(row + index * 4);
    case 64:
        return load<std::uint64_t>(row + index * 8);
    default:
        break;
    }
    std::uint64_t value = 0;
    std::size_t bit = index * bits;
    for (std::uint16_t i = 0; i < bits; ++i, ++bit)
        value = (value << 1) | ((row[bit >> 3] >> (7 - (bit & 7))) & 1u);
    return value;
}

void scaleToEightBits(const std::uint8_t* row, const SampleCoding& coding, std::size_t first,
                      std::size_t step, std::uint32_t count, std::uint8_t* out,
                      std::size_t outStep) {
    const std::uint16_t bits = coding.bits;
    if (coding.format == SAMPLEFORMAT_IEEEFP) {
        const FloatScale scale{coding.low, 255.0 / (coding.high - coding.low)};
        for (std::uint32_t i = 0; i < count; ++i, first += step, out += outStep) {
            if (bits == 32)
                *out = scale(load<float>(row + first * 4));
            else if (bits == 64)
                *out = scale(load<double>(row + first * 8));
            else
                *out = scale(halfToDouble(load<std::uint16_t>(row + first * 2)));
        }
        return;
    }
    // Two's complement shifted up by half the range is offset binary.
    const std::uint64_t flip =
        coding.format == SAMPLEFORMAT_INT ? std::uint64_t(1) << (bits - 1) : 0;
    if (bits == 8 && !flip) {
        for (std::uint32_t i = 0; i < count; ++i, first += step, out += outStep)
            *out = row[first];
    } else if (bits == 16) {
        for (std::uint32_t i = 0; i < count; ++i, first += step, out += outStep)
            *out = std::uint8_t((load<std::uint16_t>(row + first * 2) ^ flip) / 257);
    } else {
        for (std::uint32_t i = 0; i < count; ++i, first += step, out += outStep)
            *out = scaleUnsigned(sampleAt(row, first, bits) ^ flip, bits);
    }
}

} // namespace pagesmith
