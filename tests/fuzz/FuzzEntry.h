#pragma once

#include <cstddef>
#include <cstdint>

namespace pagesmith::test {

// Takes arbitrary bytes as the content of one input file and puts it through
// everything that reads a user's files: the page count, the information
// report, the folder scan's compression filter and a conversion in every
// output mode and a merge (for files whose pages claim a modest size, see
// FuzzEntry.cpp). Kept apart from the
// fuzzer's own entry so that any build can replay the inputs that once found a fault.
void runFuzzInput(const std::uint8_t* data, std::size_t size);

} // namespace pagesmith::test
