#pragma once

namespace pagesmith::platform {

// Lets the allocator keep freed memory for the next file instead of handing
// it back to the system after every page: a batch allocates and frees the
// same strip and row buffers for each of its files, and fresh pages from
// the system cost a fault each. Large buffers (a whole image) still go back
// at once. Called once at start-up.
void keepFreedMemoryForReuse();

} // namespace pagesmith::platform
