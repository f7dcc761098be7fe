// The libFuzzer entry point of one target; VARNIX_FUZZ_BODY names its body (see harness.h).

#include <cstddef>
#include <cstdint>

#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnix::fuzz::VARNIX_FUZZ_BODY(varnix::fuzz::Bytes(data, size));
    return 0;
}
