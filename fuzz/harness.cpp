#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/file_helpers.h"

namespace varnix::fuzz {

namespace fs = std::filesystem;

namespace {

// Memory-backed when the system has /dev/shm: the targets write a few files per input.
fs::path MakeWorkFolder() {
    std::error_code ec;
    fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
    std::string pattern = (base / "varnix-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Broken("cannot create a work folder under " + base.string());
    }
    return pattern;
}

void RemoveWorkFolder() {
    std::error_code ec;
    fs::remove_all(WorkFolder(), ec);
}

}  // namespace

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"probe", FuzzProbe},
        {"mpa", FuzzMPA},
        {"wav", FuzzWAV},
        {"ac3_dts", FuzzAC3DTS},
        {"video_cache", FuzzVideoCache},
        {"video_quick", FuzzVideoQuick},
        {"split", FuzzSplit},
        {"chapters", FuzzChapters},
        {"dvd_ifo", FuzzDvdIfo},
        {"ps_demux", FuzzProgramStream},
        {"ts_demux", FuzzTransportStream},
    };
    return targets;
}

const std::string& WorkFolder() {
    // Never destroyed: the exit handler that removes the folder still needs its name.
    static const std::string* const folder = [] {
        const auto* made = new std::string(MakeWorkFolder().string() + kPathSeparator);
        std::atexit(RemoveWorkFolder);
        return made;
    }();
    return *folder;
}

void ClearWorkFolder() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(WorkFolder(), ec)) {
        fs::remove_all(entry.path(), ec);
    }
}

std::string WriteWorkFile(const std::string& name, Bytes bytes) {
    const std::string fileName = WorkFolder() + name;
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(static_cast<bool>(out), "the input file could not be written");
    return fileName;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void Broken(const std::string& what) {
    std::fprintf(stderr, "varnix fuzz: property broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace varnix::fuzz
