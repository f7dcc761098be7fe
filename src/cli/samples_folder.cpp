// Where the bundled samples are: beside the program, so that an installed copy and the build
// tree both find them, wherever they were put.

#include <filesystem>
#include <string>
#include <system_error>

#include "cli/commands.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace varnix::cli {

namespace {

// The folder of the running program, as the system knows it (argv[0] may be a bare name found
// through PATH); empty when the system does not tell.
std::filesystem::path ProgramFolder() {
#if defined(_WIN32)
    std::wstring name(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0 || length >= name.size()) {
        return {};
    }
    name.resize(length);
    return std::filesystem::path(name).parent_path();
#else
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : program.parent_path();
#endif
}

}  // namespace

std::string SamplesFolder() {
    const std::filesystem::path folder = ProgramFolder();
    if (folder.empty()) {
        return {};
    }
    std::filesystem::path samples = (folder / VARNIX_SAMPLES_FROM_PROGRAM).lexically_normal();
    if (!samples.has_filename()) {
        samples = samples.parent_path();  // no trailing separator
    }
    return samples.string();
}

}  // namespace varnix::cli
