// libFuzzer's entry: each input it makes is one file's content.
#include "fuzz/FuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pagesmith::test::runFuzzInput(data, size);
    return 0;
}
