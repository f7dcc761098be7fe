#include "core/bitstream.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "core/errors.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::RecordingHost;
using test::TempDir;

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), static_cast<std::uint8_t>(1));
    return bytes;
}

TEST(TBitStreamTest, ReadsMostSignificantBitFirstAndZerosPastTheEnd) {
    const std::vector<std::uint8_t> bytes = {0xA5, 0x0F, 0x80, 0x01, 0xFF, 0x00,
                                             0x12, 0x34, 0x56, 0x78, 0x9A};
    TBitStream bits(bytes);
    EXPECT_EQ(bits.GetBit(), 1u);
    EXPECT_EQ(bits.GetBit(), 0u);
    EXPECT_EQ(bits.GetBits(6), 0x25u);
    EXPECT_EQ(bits.GetBits(0), 0u);
    EXPECT_EQ(bits.GetBits(12), 0x0F8u);
    EXPECT_EQ(bits.GetBits(4), 0x0u);
    EXPECT_EQ(bits.GetBits(32), 0x01FF0012u);
    EXPECT_FALSE(bits.EndOfData());
    EXPECT_EQ(bits.GetBits(32), 0x3456789Au);  // aligned whole-byte path
    EXPECT_EQ(bits.Position(), 11);
    EXPECT_TRUE(bits.EndOfData());
    EXPECT_FALSE(bits.ReadPastEnd());
    EXPECT_EQ(bits.GetBits(8), 0u);
    EXPECT_EQ(bits.GetBit(), 0u);
    EXPECT_TRUE(bits.ReadPastEnd());
    EXPECT_EQ(bits.Position(), 11);
}

// One reading logic: the file reader, whatever its buffer size, returns what the memory reader
// returns over the same bytes, read by the same mix of widths, look-aheads and searches.
TEST(TBitStreamTest, MemoryAndFileReadersAgree) {
    TempDir dir;
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bytes(200);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0 : rng());
    }
    const std::string name = dir.write("data.bin", bytes);
    for (std::size_t capacity : {1u, 3u, 8u, 64u, 199u, 200u, 4096u}) {
        TBitStream memory(bytes);
        TFileBitStream file(name, capacity);
        std::mt19937 steps(static_cast<unsigned>(capacity));
        for (int step = 0; step < 400 && !memory.ReadPastEnd(); ++step) {
            const int n = static_cast<int>(steps() % 33);
            std::uint32_t fromMemory = 0;
            std::uint32_t fromFile = 0;
            // The file reader looks past a full buffer only when four more bytes follow, so
            // look-aheads stay clear of the end.
            const bool nearEnd = memory.Position() + 5 >= static_cast<std::int64_t>(bytes.size());
            switch (steps() % 4) {
                case 0:
                    if (!nearEnd) {
                        fromMemory = memory.PeekBits(n);
                        fromFile = file.PeekBits(n);
                    }
                    break;
                case 1:
                    fromMemory = memory.NextStartCode();
                    fromFile = file.NextStartCode();
                    break;
                default:
                    fromMemory = memory.GetBits(n);
                    fromFile = file.GetBits(n);
                    break;
            }
            ASSERT_EQ(fromFile, fromMemory) << "capacity " << capacity << " step " << step;
            ASSERT_EQ(file.EndOfData(), memory.EndOfData()) << "capacity " << capacity;
            ASSERT_EQ(file.ReadPastEnd(), memory.ReadPastEnd()) << "capacity " << capacity;
            ASSERT_EQ(file.BitsLeft(), memory.BitsLeft()) << "capacity " << capacity;
            if (!memory.EndOfData()) {
                ASSERT_EQ(file.Position(), memory.Position()) << "capacity " << capacity;
            }
        }
        EXPECT_TRUE(memory.EndOfData());
    }
}

TEST(TBitStreamTest, ElevenBytesHoldEightyEightBits) {
    const std::vector<std::uint8_t> bytes(11, 0xFF);
    TBitStream bits(bytes);
    int ones = 0;
    for (int i = 0; i < 100; ++i) {
        ones += static_cast<int>(bits.GetBit());
    }
    EXPECT_EQ(ones, 88);
}

class FileBitStreamTest : public ::testing::Test {
  protected:
    TempDir dir;
};

// Reads a whole file bit by bit and byte by byte with every small buffer size, so that fills
// fall on every possible boundary.
TEST_F(FileBitStreamTest, ReadsEveryByteOnceWhateverTheBufferSize) {
    const auto bytes = Counting(37);
    const std::string name = dir.write("data.bin", bytes);
    for (std::size_t capacity = 1; capacity <= 40; ++capacity) {
        TFileBitStream reader(name, capacity);
        std::vector<std::uint8_t> got;
        while (!reader.EndOfData()) {
            if (got.size() % 2 == 0) {
                got.push_back(static_cast<std::uint8_t>(reader.GetBits(8)));
            } else {
                std::uint32_t value = reader.GetBits(3) << 5;
                value |= reader.GetBits(5);
                got.push_back(static_cast<std::uint8_t>(value));
            }
        }
        EXPECT_EQ(got, bytes) << "capacity " << capacity;
    }
}

TEST_F(FileBitStreamTest, FillCountOfExactMultipleIncludesTheEmptyFill) {
    const std::string name = dir.write("data.bin", Counting(16));
    TFileBitStream reader(name, 8);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(reader.EndOfData());
        EXPECT_EQ(reader.GetBits(8), static_cast<std::uint32_t>(i + 1));
    }
    EXPECT_TRUE(reader.EndOfData());
    EXPECT_EQ(reader.FillCount(), 3);  // two full fills and one that read nothing
}

TEST_F(FileBitStreamTest, ShortFileEndsWithoutAnotherRead) {
    const std::string name = dir.write("data.bin", Counting(5));
    TFileBitStream reader(name, 8);
    EXPECT_EQ(reader.GetBits(32), 0x01020304u);
    EXPECT_FALSE(reader.EndOfData());
    EXPECT_EQ(reader.GetBits(8), 5u);
    EXPECT_TRUE(reader.EndOfData());
    EXPECT_EQ(reader.FillCount(), 1);
    EXPECT_EQ(reader.GetBit(), 0u);
}

TEST_F(FileBitStreamTest, PeekAcrossAFillSeesTheNextBuffer) {
    const std::string name = dir.write("data.bin", Counting(20));
    for (int offset = 0; offset < 8; ++offset) {
        TFileBitStream reader(name, 8);
        for (int i = 0; i < 5 + offset % 4; ++i) {
            reader.GetBits(8);
        }
        reader.GetBits(offset);  // any bit alignment
        const std::uint32_t peeked = reader.PeekBits(32);
        const std::int64_t position = reader.Position();
        const int bitsLeft = reader.BitsLeft();
        EXPECT_EQ(reader.PeekBits(32), peeked);
        EXPECT_EQ(reader.Position(), position);
        EXPECT_EQ(reader.BitsLeft(), bitsLeft);
        EXPECT_EQ(reader.GetBits(32), peeked) << "offset " << offset;
    }
}

TEST_F(FileBitStreamTest, PeekThreeBytesBeforeTheBufferEnd) {
    const std::string name = dir.write("data.bin", Counting(20));
    TFileBitStream reader(name, 8);
    reader.GetBits(8 * 5);
    EXPECT_EQ(reader.PeekBits(32), 0x06070809u);
    EXPECT_EQ(reader.GetBits(32), 0x06070809u);
    EXPECT_EQ(reader.GetBits(8), 0x0Au);
}

TEST_F(FileBitStreamTest, PeekNearTheEndReturnsZeroAndMovesNothing) {
    // A full buffer of 8 followed by only 2 bytes: the look-ahead cannot get 4 bytes.
    const std::string name = dir.write("data.bin", Counting(10));
    TFileBitStream reader(name, 8);
    reader.GetBits(8 * 7);
    EXPECT_EQ(reader.PeekBits(16), 0u);
    EXPECT_EQ(reader.Position(), 7);
    std::vector<std::uint32_t> rest;
    while (!reader.EndOfData()) {
        rest.push_back(reader.GetBits(8));
    }
    EXPECT_EQ(rest, (std::vector<std::uint32_t>{8, 9, 10}));
}

TEST_F(FileBitStreamTest, PeekWithinTheLastShortBuffer) {
    const std::string name = dir.write("data.bin", Counting(5));
    TFileBitStream reader(name, 8);
    reader.GetBits(8);
    EXPECT_EQ(reader.PeekBits(32), 0x02030405u);
    EXPECT_EQ(reader.PeekBits(0), 0u);
    reader.GetBits(8);
    EXPECT_EQ(reader.PeekBits(32), 0u);  // only 24 bits remain
    EXPECT_EQ(reader.PeekBits(24), 0x030405u);
}

TEST_F(FileBitStreamTest, FindSyncDropsTheRestOfTheByteAndConsumesThePrefix) {
    const std::string name = dir.write("data.bin", {0x47, 0x00, 0x00, 0x00, 0x01, 0xB3, 0x16});
    for (std::size_t capacity : {2u, 3u, 4u, 64u}) {
        TFileBitStream reader(name, capacity);
        reader.GetBits(3);  // mid-byte
        ASSERT_TRUE(reader.FindSync(1, 24));
        EXPECT_EQ(reader.Position(), 5);
        EXPECT_EQ(reader.PeekBits(8), 0xB3u);
        EXPECT_EQ(reader.GetBits(8), 0xB3u);
    }
}

TEST_F(FileBitStreamTest, FindSyncFailsWithoutAMatch) {
    const std::string name = dir.write("data.bin", {0x00, 0x00, 0x02, 0x00, 0x00});
    TFileBitStream reader(name, 2);
    EXPECT_FALSE(reader.FindSync(1, 24));
    EXPECT_TRUE(reader.EndOfData());
}

TEST_F(FileBitStreamTest, FindSyncMatchesAtTheVeryEnd) {
    const std::string name = dir.write("data.bin", {0x12, 0x00, 0x00, 0x01});
    TFileBitStream reader(name, 3);
    EXPECT_TRUE(reader.FindSync(1, 24));
    EXPECT_TRUE(reader.EndOfData());
}

TEST_F(FileBitStreamTest, SizeAndTimeOfTheFile) {
    const std::string name = dir.write("data.bin", Counting(33));
    TFileBitStream reader(name, 8);
    EXPECT_EQ(reader.FileSize(), 33);
    // A time after 2001 in 100-nanosecond units since 1601.
    EXPECT_GT(reader.FileTime(), 126227808000000000ull);
}

TEST_F(FileBitStreamTest, MissingFileShowsTheOpenMessageAndThrows) {
    RecordingHost host;
    const std::string name = dir.file("missing.m2v");
    EXPECT_THROW(TFileBitStream reader(name, 8), EParserFileException);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Unable to open file " + name + " for reading.");
    try {
        TFileBitStream reader(name, 8);
    } catch (const EParserFileException& e) {
        EXPECT_STREQ(e.what(), "File error!");
    }
}

TEST_F(FileBitStreamTest, EmptyFileShowsTheReadMessageAndThrows) {
    RecordingHost host;
    const std::string name = dir.write("empty.m2v", {});
    EXPECT_THROW(TFileBitStream reader(name, 8), EParserFileException);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Unable to read from file " + name + ".");
}

// A read error used to end the data as if the file ended there, so a scan counted a short video.
// It throws IoError naming the file and the reason, in the first fill, a later one, or a
// look-ahead.
TEST_F(FileBitStreamTest, ReadErrorsThrowAndNeverEndTheData) {
    RecordingHost host;
    const std::string name = dir.write("bad.m2v", Counting(40));
    const auto expectReadError = [&](const std::function<void()>& read) {
        try {
            read();
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_EQ(e.fileName(), name);
            EXPECT_NE(std::string(e.what()).find("Unable to read from file " + name + ": "),
                      std::string::npos)
                << e.what();
        }
    };
    {
        const InjectedReadFault fault(name, 4);
        expectReadError([&] { TFileBitStream reader(name, 8); });
    }
    {
        const InjectedReadFault fault(name, 20);
        TFileBitStream reader(name, 8);
        EXPECT_EQ(reader.GetBits(32), 0x01020304u);
        EXPECT_EQ(reader.PeekBits(32), 0x05060708u);
        expectReadError([&] {
            for (int i = 0; i < 4; ++i) {
                reader.GetBits(32);
            }
        });
    }
    {
        const InjectedReadFault fault(name, 17);
        TFileBitStream reader(name, 8);
        for (int i = 0; i < 3; ++i) {
            reader.GetBits(32);
        }
        EXPECT_EQ(reader.GetBits(8), 13u);
        expectReadError([&] { reader.PeekBits(32); });  // the look-ahead past the second block
    }
    EXPECT_TRUE(host.messages.empty());  // the error carries its reason to the caller
}

TEST_F(FileBitStreamTest, FolderIsNotAFile) {
    RecordingHost host;
    EXPECT_THROW(TFileBitStream reader(dir.path().string(), 8), EParserFileException);
    EXPECT_EQ(host.messages.size(), 1u);
}

}  // namespace
}  // namespace varnix
