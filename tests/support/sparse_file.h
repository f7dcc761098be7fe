#pragma once
// Files of several GiB for the tests of sizes beyond 32 bits: zeros (holes, where the file
// system has them) with a few runs of real bytes.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace varnix::test {

using SparseRuns = std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>>;

// Creates `name` of `size` bytes holding each run at its offset. False when the file system
// cannot hold such a file (the test then skips).
bool WriteSparseFile(const std::string& name, std::uint64_t size, const SparseRuns& runs);

}  // namespace varnix::test
