// The program and transport stream demuxers: the video they hand on is exactly the elementary
// stream that was put in, each piece at its file position, however the file is cut into reads;
// damage is noted and stepped over.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "formats/container_probe.h"
#include "formats/ps_demux.h"
#include "formats/ts_demux.h"
#include "support/container_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;

Bytes SomeVideo(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes es(size);
    for (auto& b : es) {
        b = static_cast<std::uint8_t>(rng() % 7 == 0 ? 0 : rng());
    }
    const Bytes header = {0, 0, 1, 0xB3, 0x2C, 0x02, 0x40, 0x23};
    std::copy(header.begin(), header.end(), es.begin());
    return es;
}

struct Demuxed {
    Bytes payload;
    std::vector<std::string> notes;
    bool finished = false;
};

// Feeds the file in reads of `step` bytes and checks that every piece is the file's bytes at
// its position.
Demuxed DemuxAll(VideoDemuxer& demuxer, const Bytes& file, std::size_t step) {
    Demuxed out;
    const PayloadSink sink = [&](std::int64_t position, std::span<const std::uint8_t> bytes) {
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + position));
        out.payload.insert(out.payload.end(), bytes.begin(), bytes.end());
    };
    std::size_t taken = 0;
    std::size_t available = std::min(step, file.size());
    while (!demuxer.Finished()) {
        const bool atEnd = available == file.size();
        taken += demuxer.Feed(std::span<const std::uint8_t>(file).subspan(taken, available - taken),
                              static_cast<std::int64_t>(taken), atEnd, sink);
        if (atEnd) {
            break;
        }
        available = std::min(file.size(), available + step);
    }
    out.notes = demuxer.TakeNotes();
    out.finished = demuxer.Finished();
    return out;
}

TEST(ProgramStreamDemuxer, GivesBackTheVideoOfEitherSyntaxInAnyReads) {
    const Bytes es = SomeVideo(50000, 1);
    for (const bool mpeg1 : {false, true}) {
        for (const std::size_t payload :
             {std::size_t{100}, std::size_t{2025}, std::size_t{60000}}) {
            const Bytes file =
                test::BuildProgramStream(es, {.mpeg1 = mpeg1, .payloadBytes = payload});
            for (const std::size_t step : {std::size_t{70000}, std::size_t{80001}, file.size()}) {
                ProgramStreamDemuxer demuxer;
                const Demuxed d = DemuxAll(demuxer, file, step);
                EXPECT_EQ(d.payload, es) << mpeg1 << " " << payload << " " << step;
                EXPECT_TRUE(d.notes.empty());
                EXPECT_EQ(demuxer.VideoStreamId(), 0xE0);
                EXPECT_EQ(demuxer.Mpeg1Packs(), mpeg1);
            }
        }
    }
}

constexpr std::uint8_t kPack[] = {0, 0, 1, 0xBA};

TEST(ProgramStreamDemuxer, FollowsOneVideoStreamAndStepsOverGarbage) {
    const Bytes es = SomeVideo(9000, 2);
    Bytes file = test::BuildProgramStream(es, {.videoId = 0xE1});
    // A second video stream, and garbage between two packs.
    Bytes other = test::BuildProgramStream(SomeVideo(3000, 3), {.otherStreams = false});
    const auto secondPack =
        std::search(file.begin() + 4, file.end(), std::begin(kPack), std::end(kPack));
    file.insert(secondPack, 300, 0xAB);
    file.insert(file.end() - 4, other.begin(), other.end() - 4);
    ProgramStreamDemuxer demuxer;
    const Demuxed d = DemuxAll(demuxer, file, file.size());
    EXPECT_EQ(d.payload, es) << "only stream 0xe1";
    EXPECT_EQ(demuxer.VideoStreamId(), 0xE1);
    ASSERT_FALSE(d.notes.empty());
    EXPECT_EQ(d.notes[0].rfind("skipped 300 bytes that are no program stream before", 0), 0u)
        << d.notes[0];
}

TEST(TransportStreamDemuxer, GivesBackTheVideoOfBothPacketSizesInAnyReads) {
    const Bytes es = SomeVideo(60000, 4);
    for (const std::size_t packetSize : {std::size_t{188}, std::size_t{192}}) {
        const auto ts =
            test::BuildTransportStream(es, {.packetSize = packetSize, .pesBytes = 7000});
        EXPECT_EQ(TransportPacketSize(ts.bytes), packetSize);
        for (const std::size_t step : {std::size_t{1000}, std::size_t{65536}, ts.bytes.size()}) {
            TransportStreamDemuxer demuxer(packetSize);
            const Demuxed d = DemuxAll(demuxer, ts.bytes, step);
            EXPECT_EQ(d.payload, es) << packetSize << " " << step;
            EXPECT_TRUE(d.notes.empty());
            EXPECT_EQ(demuxer.VideoPid(), test::kBuiltVideoPid);
            EXPECT_EQ(demuxer.StreamTypes(), (std::vector<unsigned>{3, 2}));
        }
    }
}

TEST(TransportStreamDemuxer, LostDuplicatedAndDamagedPackets) {
    const Bytes es = SomeVideo(30000, 5);
    const auto ts = test::BuildTransportStream(es, {.pesBytes = 10000, .nullPackets = false});
    const std::size_t lostAt = ts.videoPackets[20];  // inside the first PES packet
    struct Case {
        const char* what;
        Bytes file;
        std::uint64_t lost;
        std::size_t payloadBytes;  // what still arrives
    };
    Bytes lost = ts.bytes;
    lost.erase(lost.begin() + static_cast<std::ptrdiff_t>(lostAt),
               lost.begin() + static_cast<std::ptrdiff_t>(lostAt + 188));
    Bytes twice = ts.bytes;
    twice.insert(twice.begin() + static_cast<std::ptrdiff_t>(lostAt),
                 ts.bytes.begin() + static_cast<std::ptrdiff_t>(lostAt),
                 ts.bytes.begin() + static_cast<std::ptrdiff_t>(lostAt + 188));
    Bytes damaged = ts.bytes;
    damaged[lostAt + 1] |= 0x80;  // transport_error_indicator
    const std::size_t firstPES = 10000;
    const Case cases[] = {
        {"lost", lost, 1, es.size() - firstPES + 20 * 184 - 14},
        {"sent twice", twice, 0, es.size()},
        {"damaged", damaged, 1, es.size() - firstPES + 20 * 184 - 14},
    };
    for (const Case& c : cases) {
        TransportStreamDemuxer demuxer(188);
        const Demuxed d = DemuxAll(demuxer, c.file, c.file.size());
        EXPECT_EQ(demuxer.LostPackets(), c.lost) << c.what;
        EXPECT_EQ(d.payload.size(), c.payloadBytes) << c.what;
        // What arrives after the loss is the video from the next PES packet on.
        EXPECT_TRUE(std::equal(es.end() - 20000, es.end(), d.payload.end() - 20000)) << c.what;
        EXPECT_EQ(d.notes.size(), c.lost) << c.what;
    }
}

TEST(TransportStreamDemuxer, SyncThatStopsEndsTheStreamWithANote) {
    const Bytes es = SomeVideo(20000, 6);
    auto ts = test::BuildTransportStream(es);
    ts.bytes.resize(188 * 12);
    ts.bytes.insert(ts.bytes.end(), 5000, 0x11);
    TransportStreamDemuxer demuxer(188);
    const Demuxed d = DemuxAll(demuxer, ts.bytes, 4096);
    EXPECT_TRUE(d.finished);
    ASSERT_EQ(d.notes.size(), 1u);
    EXPECT_EQ(d.notes[0], "the sync bytes stop at position 2256: the rest of the file is not read");
}

TEST(ContainerProbe, NamesWhatIsMissing) {
    const Bytes es = SomeVideo(20000, 7);
    const struct {
        const char* what;
        Bytes file;
        bool mpegVideo;
        std::string problem;
        std::string description;
    } cases[] = {
        {"program stream", test::BuildProgramStream(es), true, "",
         "MPEG-2 program stream, video stream 0xe0"},
        {"system stream", test::BuildProgramStream(es, {.mpeg1 = true, .videoId = 0xE3}), true, "",
         "MPEG-1 system stream, video stream 0xe3"},
        {"program stream without video", test::BuildProgramStream(es, {.videoId = 0xC0}), false,
         "no video stream (no PES packet of a stream E0..EF)", ""},
        {"program stream of other video", test::BuildProgramStream(Bytes(3000, 0x42)), false,
         "its video stream 0xe0 holds no MPEG-1/2 video (no sequence header)", ""},
        {"transport stream", test::BuildTransportStream(es).bytes, true, "",
         "MPEG transport stream (188-byte packets), video PID 0x0100 (stream type 0x02)"},
        {"m2ts", test::BuildTransportStream(es, {.packetSize = 192, .videoStreamType = 1}).bytes,
         true, "", "MPEG transport stream (192-byte packets), video PID 0x0100 (stream type 0x01)"},
        {"no PAT", test::BuildTransportStream(es, {.withPAT = false}).bytes, false,
         "no program association table (PAT)", ""},
        {"no PMT", test::BuildTransportStream(es, {.withPMT = false}).bytes, false,
         "no program map table (PMT) for the first program", ""},
        {"H.264", test::BuildTransportStream(es, {.videoStreamType = 0x1B}).bytes, false,
         "no MPEG-1/2 video in the program map (stream types: 0x03, 0x1b)", ""},
    };
    for (const auto& c : cases) {
        const ContainerInfo info = ProbeContainer(c.file);
        EXPECT_EQ(info.mpegVideo, c.mpegVideo) << c.what;
        EXPECT_EQ(info.problem, c.problem) << c.what;
        if (c.mpegVideo) {
            EXPECT_EQ(info.Description(), c.description) << c.what;
        }
    }
}

}  // namespace
}  // namespace varnix
