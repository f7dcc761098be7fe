#include <gtest/gtest.h>

#include <functional>

#include "core/errors.h"
#include "core/file.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::TempDir;

// The frame walks and chunk walks used to take a read error for the end of the file, so a count
// came out short and looked right. They throw IoError naming the file; the queries built on them
// give nothing (no frames, no layout) instead of a short answer.
TEST(ReadErrors, WalksThrowAndTheirQueriesGiveNothing) {
    TempDir dir;
    const struct {
        const char* data;
        std::uint64_t bad;
        std::function<void(const std::string&)> walk;
        std::function<bool(const std::string&)> queryGivesNothing;
    } cases[] = {
        {"ac3-44k1-192k.ac3", 40000,
         [](const std::string& name) {
             FileSource source(name);
             FindAC3FrameStarts(source, {0, 50});
         },
         [](const std::string& name) { return GetAC3TotalSamples(name) == 0; }},
        {"ac3-51-448k.ac3", 60000,
         [](const std::string& name) {
             FileSource source(name);
             ReadAC3FrameLayoutOf(source, true);
         },
         nullptr},
        {"mp2-crc.mp2", 40000, [](const std::string& name) { ReadMPAInfo(name, true); }, nullptr},
        {"wav-s16-list.wav", 60,
         [](const std::string& name) {
             FileSource source(name);
             ReadWAVLayoutOf(source);
         },
         [](const std::string& name) { return !ReadWAVLayout(name).riffWave; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const std::string name = dir.copyData(c.data);
        const InjectedReadFault fault(name, c.bad);
        try {
            c.walk(name);
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_EQ(e.fileName(), name);
        }
        if (c.queryGivesNothing) {
            EXPECT_TRUE(c.queryGivesNothing(name));
        }
    }
}

}  // namespace
}  // namespace varnix
