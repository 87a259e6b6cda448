#pragma once

#include <cstddef>

namespace pagesmith {

// The most memory one allocation may take, in the program's own buffers and
// inside libtiff alike (every handle is opened with it). Sizes come from file
// headers: a small damaged or hostile file must not make the process reserve
// what its header claims. A page whose working buffer would be larger fails
// before anything is allocated. Documented in the README.
constexpr std::size_t kMaxAllocationBytes = std::size_t(1) << 30; // 1 GiB

} // namespace pagesmith
