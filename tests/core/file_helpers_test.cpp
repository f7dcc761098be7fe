#include "core/file_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

TEST(FileNameTest, FolderNameAndExtension) {
    struct Case {
        std::string path, folder, name, ext;
    };
    const Case cases[] = {
        {"/a/b/movie.ac3", "/a/b/", "movie.ac3", ".ac3"},
        {"movie.ac3", "", "movie.ac3", ".ac3"},
        {"/a/b.c/movie", "/a/b.c/", "movie", ""},
        {"/a/b/", "/a/b/", "", ""},
        {"", "", "", ""},
        {"/a/song_Merged.wav", "/a/", "song_Merged.wav", ".wav"},
        {"/a/.hidden", "/a/", ".hidden", ".hidden"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(ExtensionOf(c.path), c.ext) << c.path;
    }
    EXPECT_EQ(LowerCase("MoVie.AC3"), "movie.ac3");
}

TEST(FileHelpersTest, ExistenceSizeAndDeletion) {
    TempDir dir;
    const std::string name = dir.write("a.bin", Pattern(1234));
    EXPECT_TRUE(FileExists(name));
    EXPECT_FALSE(FileExists(dir.path().string()));
    EXPECT_TRUE(FolderExists(dir.path().string()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_EQ(FileSizeOf(name), 1234u);
    EXPECT_EQ(FileSizeOf(dir.file("missing")), 0u);
    EXPECT_EQ(FileSizeOf(dir.path().string()), 0u);
    EXPECT_EQ(FileSizeOf(""), 0u);
    EXPECT_NE(FileTimeOf(name), 0u);
    EXPECT_EQ(FileTimeOf(dir.file("missing")), 0u);
    EXPECT_TRUE(DeleteFileIfExists(name));
    EXPECT_FALSE(FileExists(name));
    EXPECT_TRUE(DeleteFileIfExists(name));
}

TEST(FileHelpersTest, FileSizeOfSeesPastFourGiB) {
    TempDir dir;
    const std::string name = dir.file("sparse.bin");
    { std::ofstream(name, std::ios::binary).put('x'); }
    std::error_code ec;
    fs::resize_file(name, 5ull << 30, ec);
    if (ec) {
        GTEST_SKIP() << "no sparse files here: " << ec.message();
    }
    EXPECT_EQ(FileSizeOf(name), 5ull << 30);
}

TEST(FileHelpersTest, SameFileResolvesPaths) {
    TempDir dir;
    const std::string name = dir.write("a.bin", {1});
    fs::create_directory(dir.path() / "sub");
    EXPECT_TRUE(SameFile(name, (dir.path() / "sub" / ".." / "a.bin").string()));
    EXPECT_FALSE(SameFile(name, dir.file("b.bin")));
    EXPECT_TRUE(SameFile(dir.file("new.bin"), (dir.path() / "sub" / ".." / "new.bin").string()));
}

TEST(FileHelpersTest, CreateFolderOfFileMakesEveryMissingLevel) {
    TempDir dir;
    const std::string deep = (dir.path() / "a" / "b" / "c" / "out.ac3").string();
    EXPECT_FALSE(FolderOfFileExists(deep));
    EXPECT_TRUE(CreateFolderOfFile(deep));
    EXPECT_TRUE(FolderOfFileExists(deep));
    EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b" / "c"));
    EXPECT_FALSE(CreateFolderOfFile(deep));  // exists now: nothing to do
    EXPECT_FALSE(CreateFolderOfFile(""));
}

TEST(FileHelpersTest, CreateFolderOfFileUnderAFileFailsSilently) {
    TempDir dir;
    const std::string blocker = dir.write("blocker", {1});
    const std::string below = blocker + "/x/out.ac3";
    EXPECT_TRUE(CreateFolderOfFile(below));
    EXPECT_FALSE(FolderOfFileExists(below));
}

TEST(FileHelpersTest, CreateEmptyFileLeavesExistingFilesAlone) {
    TempDir dir;
    const std::string existing = dir.write("keep.bin", {1, 2, 3});
    CreateEmptyFile(existing);
    EXPECT_EQ(FileSizeOf(existing), 3u);
    const std::string fresh = dir.file("fresh.bin");
    CreateEmptyFile(fresh);
    EXPECT_TRUE(FileExists(fresh));
    EXPECT_EQ(FileSizeOf(fresh), 0u);
}

struct RangeCase {
    std::uint64_t start;
    Count count;
};

TEST(CopyFileRangeTest, CopiesExactlyTheRequestedRange) {
    TempDir dir;
    const auto bytes = Pattern(50000);
    const std::string source = dir.write("source.bin", bytes);
    const RangeCase cases[] = {{0, 0u},       {0, 1u},       {0, 16000u},     {0, 16001u},
                               {0, 32000u},   {123, 31999u}, {49999, 1u},     {0, 50000u},
                               {100, 49900u}, {0, kToEnd},   {40000, kToEnd}, {0, 60000u},
                               {60000, 10u},  {49000, 5000u}};
    for (const auto& c : cases) {
        const std::string dest = dir.file("piece.bin");
        std::vector<std::uint64_t> positions;
        const std::uint64_t written = CopyFileRange(
            source, dest, [&](std::uint64_t p) { positions.push_back(p); }, nullptr, 1000, c.count,
            c.start);
        const std::size_t from = std::min<std::uint64_t>(c.start, bytes.size());
        const std::size_t to =
            std::min<std::uint64_t>(bytes.size(), c.start + CountWithin(c.count, bytes.size()));
        const std::vector<std::uint8_t> expected(
            bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::max(from, to)));
        EXPECT_EQ(ReadAll(dest), expected)
            << c.start << " + "
            << (c.count.toEnd() ? "to the end" : std::to_string(c.count.amount()));
        EXPECT_EQ(written, expected.size());
        ASSERT_FALSE(positions.empty());
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
        EXPECT_GE(positions.front(), 1000u);
    }
}

TEST(CopyFileRangeTest, StopsAfterTheBlockInWhichAbortWasSet) {
    TempDir dir;
    const std::string source = dir.write("source.bin", Pattern(100000));
    const std::string dest = dir.file("piece.bin");
    AbortFlag abort{0};
    int calls = 0;
    CopyFileRange(
        source, dest,
        [&](std::uint64_t) {
            if (++calls == 2) {
                abort = 1;
            }
        },
        &abort, 0, kToEnd, 0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(FileSizeOf(dest), 32000u);
}

TEST(CopyFileRangeTest, MissingSourceCreatesNothing) {
    TempDir dir;
    const std::string dest = dir.file("piece.bin");
    EXPECT_EQ(CopyFileRange(dir.file("missing"), dest, nullptr, nullptr, 0, 10u, 0), 0u);
    EXPECT_FALSE(FileExists(dest));
}

// A piece that could not be created used to be skipped silently: the job then looked complete.
TEST(CopyFileRangeTest, APieceThatCannotBeCreatedIsAnError) {
    TempDir dir;
    const auto bytes = Pattern(1000);
    const std::string source = dir.write("source.bin", bytes);
    const std::string dest = (dir.path() / "missing" / "piece.bin").string();
    try {
        CopyFileRange(source, dest, nullptr, nullptr, 0, 10u, 0);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.fileName(), dest);
        EXPECT_NE(std::string(e.what()).find(dest), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(source), bytes);
}

TEST(CopyFileRangeTest, APieceRemovedWhileItIsWrittenIsAnError) {
    TempDir dir;
    const std::string source = dir.write("source.bin", Pattern(100000));
    const std::string dest = dir.file("piece.bin");
    EXPECT_THROW(CopyFileRange(
                     source, dest, [&](std::uint64_t) { fs::remove(dest); }, nullptr, 0, kToEnd, 0),
                 IoError);
    EXPECT_FALSE(FileExists(dest));
}

// A read error and the end of the file both return fewer bytes; the file tells them apart. An
// injected fault behaves as a bad block: the bytes before it arrive, then the read fails, and
// only handles opened while it is in place see it.
TEST(BinaryFileTest, ReadErrorsAreToldFromTheEndOfTheFile) {
    TempDir dir;
    const auto bytes = Pattern(1000);
    const std::string name = dir.write("bad.bin", bytes);
    BinaryFile before(name, BinaryFile::Mode::Read);
    std::vector<std::uint8_t> buffer(600);
    {
        const InjectedReadFault fault(name, 500, 100);
        BinaryFile file(name, BinaryFile::Mode::Read);
        EXPECT_EQ(file.read(buffer.data(), 600), 500u);
        EXPECT_EQ(file.readError(), EIO);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 500, buffer.begin()));
        EXPECT_THROW(file.readChecked(buffer.data(), 1), IoError);
        ASSERT_TRUE(file.seek(600));  // past the bad block
        EXPECT_EQ(file.readChecked(buffer.data(), 600), 400u);
        EXPECT_EQ(file.readError(), 0);  // the end of the file is no error
        EXPECT_EQ(before.read(buffer.data(), 600), 600u);
        EXPECT_EQ(before.readError(), 0);
    }
    BinaryFile after(name, BinaryFile::Mode::Read);
    EXPECT_EQ(after.readChecked(buffer.data(), 600), 600u);
}

TEST(CopyFileRangeTest, ReplacesAnExistingDestination) {
    TempDir dir;
    const std::string source = dir.write("source.bin", Pattern(10));
    const std::string dest = dir.write("piece.bin", Pattern(500));
    CopyFileRange(source, dest, nullptr, nullptr, 0, 4u, 2);
    const auto bytes = Pattern(10);
    EXPECT_EQ(ReadAll(dest), std::vector<std::uint8_t>(bytes.begin() + 2, bytes.begin() + 6));
}

}  // namespace
}  // namespace varnix
