#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "core/range_copy.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::TempDir;

// The in-kernel copy (where the system has one) and the buffered path of every other system.
constexpr CopyMethod kMethods[] = {CopyMethod::Fastest, CopyMethod::Buffered};

std::string Describe(CopyMethod method) {
    return method == CopyMethod::Fastest ? "fastest" : "buffered";
}

TEST(CopyByteRange, RangesAppendsAndTheEndOfTheSource) {
    for (const CopyMethod method : kMethods) {
        SCOPED_TRACE(Describe(method));
        TempDir dir;
        const Bytes bytes = test::Filler(100000);
        const std::string source = dir.write("source", bytes);
        struct Case {
            std::uint64_t start;
            Count count;
            std::size_t from, to;
        };
        const Case cases[] = {
            {0, kToEnd, 0, 100000},       {99000, kToEnd, 99000, 100000},
            {0, UINT64_MAX, 0, 100000},   {10, 90u, 10, 100},
            {99990, 50u, 99990, 100000},  {100000, 5u, 100000, 100000},
            {250000, 5u, 100000, 100000}, {0, 0u, 0, 0},  // the last leaves the piece empty
        };
        for (const auto& c : cases) {
            ByteRangeCopy copy;
            copy.source = source;
            copy.start = c.start;
            copy.count = c.count;
            copy.dest = dir.file("piece");
            copy.method = method;
            const auto result = CopyByteRange(copy);
            EXPECT_EQ(result.copied, c.to - c.from);
            EXPECT_EQ(test::ReadAll(copy.dest), Bytes(bytes.begin() + c.from, bytes.begin() + c.to))
                << c.start << " " << c.count.amountOr(0);
        }
        ByteRangeCopy append;
        append.source = source;
        append.count = 7u;
        append.dest = dir.file("piece");
        append.append = true;
        append.method = method;
        CopyByteRange(append);
        EXPECT_EQ(test::ReadAll(dir.file("piece")), Bytes(bytes.begin(), bytes.begin() + 7));
        CopyByteRange(append);
        EXPECT_EQ(FileSizeOf(dir.file("piece")), 14u);
    }
}

TEST(CopyByteRange, ProgressAndAbortAfterEveryChunk) {
    for (const CopyMethod method : kMethods) {
        SCOPED_TRACE(Describe(method));
        TempDir dir;
        const std::string source = dir.write("source", test::Filler(10000));
        ByteRangeCopy copy;
        copy.method = method;
        copy.source = source;
        copy.dest = dir.file("piece");
        copy.chunk = 3000;
        std::vector<std::uint64_t> seen;
        AbortFlag abort{0};
        copy.abort = &abort;
        copy.afterChunk = [&](std::uint64_t copied) {
            seen.push_back(copied);
            if (copied >= 6000) {
                abort = 1;
            }
        };
        const auto result = CopyByteRange(copy);
        EXPECT_TRUE(result.aborted);
        EXPECT_EQ(seen, (std::vector<std::uint64_t>{3000, 6000}));
        EXPECT_EQ(FileSizeOf(copy.dest), 6000u);

        // A flag set during the last chunk does not mark a finished copy as aborted.
        abort = 0;
        seen.clear();
        copy.count = 6000u;
        EXPECT_FALSE(CopyByteRange(copy).aborted);
        EXPECT_EQ(seen, (std::vector<std::uint64_t>{3000, 6000}));
    }
}

TEST(CopyByteRange, FailuresNameTheFile) {
    TempDir dir;
    const std::string source = dir.write("source", test::Filler(100));
    ByteRangeCopy copy;
    copy.source = dir.file("missing");
    copy.dest = dir.file("piece");
    try {
        CopyByteRange(copy);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.fileName(), dir.file("missing"));
        EXPECT_NE(std::string(e.what()).find("for reading"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(copy.dest));
    copy.source = source;
    copy.dest = dir.file("no-folder") + kPathSeparator + "piece";
    EXPECT_THROW(CopyByteRange(copy), IoError);
    copy.dest = dir.file("not-there");
    copy.append = true;  // appending never creates the file
    EXPECT_THROW(CopyByteRange(copy), IoError);
    EXPECT_FALSE(FileExists(copy.dest));
}

// Writes into a file that was removed meanwhile succeed, and the piece or the merged result
// would silently be missing.
TEST(CopyByteRange, ADestRemovedWhileItIsWrittenIsAnError) {
    for (const CopyMethod method : kMethods) {
        for (const bool append : {false, true}) {
            SCOPED_TRACE(Describe(method));
            TempDir dir;
            const Bytes bytes = test::Filler(10000);
            const std::string source = dir.write("source", bytes);
            ByteRangeCopy copy;
            copy.source = source;
            copy.dest = append ? dir.write("result", {1, 2, 3}) : dir.file("piece");
            copy.append = append;
            copy.method = method;
            copy.chunk = 3000;
            copy.afterChunk = [&](std::uint64_t) { std::filesystem::remove(copy.dest); };
            try {
                CopyByteRange(copy);
                ADD_FAILURE() << "no error, append " << append;
            } catch (const IoError& e) {
                EXPECT_EQ(e.fileName(), copy.dest);
            }
            EXPECT_FALSE(FileExists(copy.dest));
            EXPECT_EQ(test::ReadAll(source), bytes);
        }
    }
}

// A read error used to end a copy as if the source had ended there: a short piece that looked
// complete. It is an error naming the source and the system's reason, on both paths, wherever
// it strikes (the first byte, inside a chunk, on a chunk boundary); a created dest is removed, an
// appended one is left to its owner. Bytes after the range are never read.
TEST(CopyByteRange, AReadErrorIsAnErrorNotTheEndOfTheSource) {
    const Bytes bytes = test::Filler(20000);
    for (const CopyMethod method : kMethods) {
        for (const bool append : {false, true}) {
            for (const std::uint64_t bad : {0u, 4500u, 6000u, 19999u}) {
                SCOPED_TRACE(Describe(method) + (append ? " append " : " create ") +
                             std::to_string(bad));
                TempDir dir;
                ByteRangeCopy copy;
                copy.source = dir.write("source", bytes);
                copy.dest = append ? dir.write("result", {1, 2, 3}) : dir.file("piece");
                copy.append = append;
                copy.method = method;
                copy.chunk = 3000;
                const InjectedReadFault fault(copy.source, bad);
                try {
                    CopyByteRange(copy);
                    ADD_FAILURE() << "no error";
                } catch (const IoError& e) {
                    EXPECT_EQ(e.fileName(), copy.source);
                    EXPECT_EQ(std::string(e.what()),
                              "Unable to read from file " + copy.source + ": " +
                                  std::generic_category().message(EIO) + ".");
                }
                EXPECT_EQ(FileExists(copy.dest), append);

                copy.count = bad;  // everything before the bad byte
                EXPECT_EQ(CopyByteRange(copy).copied, bad);
                const Bytes before(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bad));
                if (!append) {
                    EXPECT_EQ(test::ReadAll(copy.dest), before);
                }
            }
        }
    }
}

}  // namespace
}  // namespace varnix
