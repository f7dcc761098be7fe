#include "support/sparse_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace varnix::test {

bool WriteSparseFile(const std::string& name, std::uint64_t size, const SparseRuns& runs) {
    { std::ofstream create(name, std::ios::binary | std::ios::trunc); }
    std::error_code ec;
    std::filesystem::resize_file(name, size, ec);
    if (ec) {
        return false;
    }
    std::fstream file(name, std::ios::binary | std::ios::in | std::ios::out);
    for (const auto& [offset, bytes] : runs) {
        file.seekp(static_cast<std::streamoff>(offset));
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    file.close();
    return static_cast<bool>(file) && std::filesystem::file_size(name, ec) == size && !ec;
}

}  // namespace varnix::test
