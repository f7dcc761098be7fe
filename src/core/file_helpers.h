#pragma once
// Small file helpers shared by the readers, cutters, split job and merge engine, and the
// file-name rules (folder part, name, extension) with the platform's folder separator.

#include <cstdint>
#include <string>

#include "core/extent.h"
#include "core/host.h"

namespace varnix {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

bool FileExists(const std::string& name);
bool FolderExists(const std::string& name);
// Full 64-bit size of a file; 0 when it cannot be opened.
std::uint64_t FileSizeOf(const std::string& name);
// Last-write time in 100-nanosecond units since 1601-01-01 UTC; 0 when unknown.
std::uint64_t FileTimeOf(const std::string& name);
// Deletes a file; true when no file of that name is left.
bool DeleteFileIfExists(const std::string& name);

// Everything up to and including the last separator (or ':' on Windows); "" when none.
std::string FolderOf(const std::string& path);
// The part after the folder.
std::string FileNameOf(const std::string& path);
// The extension with its dot ("" when the name has none).
std::string ExtensionOf(const std::string& path);
// The folder text with the platform's separator appended when it does not end with one (an
// empty text stays empty).
std::string FolderWithSeparator(const std::string& folder);
// The root folder of the platform: "/" on Linux, "C:\" on Windows (the merger's first result
// name, and the text it ignores as one).
std::string PlatformRoot();
// Lower-case ASCII copy.
std::string LowerCase(const std::string& text);
// True when both names denote the same file (after resolving the paths).
bool SameFile(const std::string& a, const std::string& b);

// True when the folder part of `path` is an existing folder.
bool FolderOfFileExists(const std::string& path);
// Creates every missing level of the folder part of `path`. False (and nothing done) when the
// path is empty or its folder exists; true otherwise, whether or not the creation succeeded.
bool CreateFolderOfFile(const std::string& path);
// Creates an empty file unless a file of that name exists; an existing file is left untouched.
void CreateEmptyFile(const std::string& name);

// Blocks of CopyFileRange: progress reports and abort polls come after each.
constexpr std::uint64_t kCopyFileRangeBlock = 16000;

// Copies `count` bytes (kToEnd: to the end) from `start` of `source` into a new file
// `dest`, replacing it, through CopyByteRange (range_copy.h) in blocks of kCopyFileRangeBlock;
// after every block `progress` gets base + copied. Stops early when `abort` is set or the source
// ends. Does nothing when the source does not exist. Returns the bytes written. Throws IoError
// naming the file and the system's reason when the source cannot be opened or read, dest cannot
// be created, or writing fails (dest removed first; a dest that vanished while it was written
// counts as a failed write).
std::uint64_t CopyFileRange(const std::string& source, const std::string& dest,
                            const ProgressCallback& progress, const AbortFlag* abort,
                            std::uint64_t progressBase, Count count, std::uint64_t start);

}  // namespace varnix
