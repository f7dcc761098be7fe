#include "core/file_helpers.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/file.h"
#include "core/range_copy.h"

namespace varnix {

namespace fs = std::filesystem;

bool FileExists(const std::string& name) {
    std::error_code ec;
    return !name.empty() && fs::is_regular_file(PathOf(name), ec);
}

bool FolderExists(const std::string& name) {
    std::error_code ec;
    return !name.empty() && fs::is_directory(PathOf(name), ec);
}

std::uint64_t FileSizeOf(const std::string& name) {
    BinaryFile file(name, BinaryFile::Mode::Read);
    const std::int64_t size = file.size();
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

std::uint64_t FileTimeOf(const std::string& name) {
    std::error_code ec;
    const auto written = fs::last_write_time(PathOf(name), ec);
    if (ec) {
        return 0;
    }
    // 100-nanosecond units between 1601-01-01 and 1970-01-01.
    constexpr std::int64_t kEpochDifference = 116444736000000000;
    const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    return static_cast<std::uint64_t>(sinceUnixEpoch.count() / 100 + kEpochDifference);
}

bool DeleteFileIfExists(const std::string& name) {
    std::error_code ec;
    const fs::path path = PathOf(name);
    if (!fs::exists(path, ec)) {
        return true;
    }
    fs::remove(path, ec);
    return !fs::exists(path, ec);
}

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

std::size_t FolderLength(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) {
            return i;
        }
    }
    return 0;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderLength(path));
}

std::string FileNameOf(const std::string& path) {
    return path.substr(FolderLength(path));
}

std::string ExtensionOf(const std::string& path) {
    const std::size_t nameStart = FolderLength(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) {
        return {};
    }
    return path.substr(dot);
}

std::string FolderWithSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == kPathSeparator) {
        return folder;
    }
#ifdef _WIN32
    if (folder.back() == '/') {
        return folder;
    }
#endif
    return folder + kPathSeparator;
}

std::string PlatformRoot() {
#ifdef _WIN32
    return "C:\\";
#else
    return "/";
#endif
}

std::string LowerCase(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const fs::path pa = PathOf(a);
    const fs::path pb = PathOf(b);
    if (fs::exists(pa, ec) && fs::exists(pb, ec)) {
        const bool same = fs::equivalent(pa, pb, ec);
        if (!ec) {
            return same;
        }
    }
    const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ec), ec);
    const fs::path cb = fs::weakly_canonical(fs::absolute(pb, ec), ec);
    return ca == cb;
}

bool FolderOfFileExists(const std::string& path) {
    return FolderExists(FolderOf(path));
}

bool CreateFolderOfFile(const std::string& path) {
    if (path.empty() || FolderOfFileExists(path)) {
        return false;
    }
    const std::string folder = FolderOf(path);
    if (folder.empty()) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(PathOf(folder), ec);
    return true;
}

void CreateEmptyFile(const std::string& name) {
    std::error_code ec;
    if (fs::exists(PathOf(name), ec)) {
        return;
    }
    BinaryFile file(name, BinaryFile::Mode::Create);
}

std::uint64_t CopyFileRange(const std::string& source, const std::string& dest,
                            const ProgressCallback& progress, const AbortFlag* abort,
                            std::uint64_t progressBase, Count count, std::uint64_t start) {
    if (!FileExists(source)) {
        return 0;
    }
    ByteRangeCopy copy;
    copy.source = source;
    copy.start = start;
    copy.count = count;
    copy.dest = dest;
    copy.abort = abort;
    copy.chunk = kCopyFileRangeBlock;
    if (progress) {
        copy.afterChunk = [&](std::uint64_t copied) { progress(progressBase + copied); };
    }
    return CopyByteRange(copy).copied;
}

}  // namespace varnix
