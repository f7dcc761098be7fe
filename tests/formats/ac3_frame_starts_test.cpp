#include <gtest/gtest.h>

#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "support/audio_builders.h"

namespace varnix {
namespace {

using test::AC3FrameParams;
using test::Bytes;

TEST(FindAC3FrameStarts, AgreesWithTheLayoutWithoutKeepingEveryStart) {
    AC3FrameParams p44;
    p44.fscod = 1;
    p44.frmsizecod = 20;
    AC3FrameParams p48;
    p48.frmsizecod = 28;
    const std::vector<Bytes> streams = {
        test::BuildAC3Stream(p44, 50, true),                                   // 834 / 836 bytes
        test::Join({test::BuildAC3Stream(p44, 30, true), test::Filler(500)}),  // junk at the end
        test::BuildAC3Stream(p48, 40),                                         // uniform
        test::Join({test::BuildAC3Stream(p48, 40), test::Filler(700)}),        // partial frame
    };
    const std::vector<std::uint64_t> indices = {0, 0, 1, 7, 7, 29, 30, 31, 40, 49, 50, 51, 1000};
    for (std::size_t s = 0; s < streams.size(); ++s) {
        for (const bool walk : {false, true}) {
            SpanSource source(streams[s]);
            const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source, walk);
            const auto starts = FindAC3FrameStarts(source, indices, walk);
            ASSERT_EQ(starts.size(), indices.size());
            for (std::size_t i = 0; i < indices.size(); ++i) {
                EXPECT_EQ(starts[i], layout.frameStart(indices[i]))
                    << "stream " << s << " index " << indices[i] << (walk ? " walked" : "");
            }
        }
    }
    // 44.1 kHz: frame 3 starts after 834 + 836 + 834 bytes.
    SpanSource source(streams[0]);
    EXPECT_EQ(FindAC3FrameStarts(source, {3})[0], 834u + 836 + 834);
}

// A long walk calls its idle callback every 2048 frames, so that a window can stay responsive; a
// uniform stream needs no walk and no call.
TEST(FindAC3FrameStarts, ALongWalkCallsItsIdleCallback) {
    AC3FrameParams p44;
    p44.fscod = 1;
    p44.frmsizecod = 2;  // the shortest frames, 128 / 130 bytes
    AC3FrameParams p48;
    p48.frmsizecod = 2;
    for (const auto& [stream, calls] : {std::pair{test::BuildAC3Stream(p44, 5000, true), 2},
                                        std::pair{test::BuildAC3Stream(p48, 5000), 0}}) {
        SpanSource source(stream);
        int idle = 0;
        FindAC3FrameStarts(source, {4999}, false, [&idle] { ++idle; });
        EXPECT_EQ(idle, calls);
    }
}

TEST(FindAC3FrameStarts, WithoutAUsableHeaderEveryStartIsZero) {
    const Bytes junk = test::Filler(5000);
    SpanSource source(junk);
    EXPECT_EQ(FindAC3FrameStarts(source, {0, 3, 9}), (std::vector<std::uint64_t>{0, 0, 0}));
}

}  // namespace
}  // namespace varnix
