#pragma once

// Test messages show the engine's and the batch layer's codes by number.

#include "batch/BatchRequest.h"
#include "engine/CompressionChoice.h"

#include <ostream>

namespace pagesmith {

inline std::ostream& operator<<(std::ostream& out, CompressionMode mode) {
    return out << int(mode);
}

inline std::ostream& operator<<(std::ostream& out, CompressionFilter filter) {
    return out << int(filter);
}

inline std::ostream& operator<<(std::ostream& out, BatchOperation operation) {
    return out << int(operation);
}

// Every output compression, in table order.
inline constexpr CompressionMode kEveryCompressionMode[] = {
    CompressionMode::Uncompressed,
    CompressionMode::PackBits,
    CompressionMode::Group3OneDimFill,
    CompressionMode::Group3OneDim,
    CompressionMode::Group3TwoDimFill,
    CompressionMode::Group3TwoDim,
    CompressionMode::Group4,
    CompressionMode::Lzw,
    CompressionMode::Jpeg,
};

} // namespace pagesmith
