// The scan on streams built in memory: counting of frame and field pictures, pull-down, MPEG-1
// display positions, the values gathered from the headers, the callbacks, and bad input.

#include <gtest/gtest.h>

#include <random>

#include "core/errors.h"
#include "scan_helpers.h"
#include "support/recording_host.h"

namespace varnix {
namespace {

using namespace varnix::test;

TEST(M2VScan, PalFramePicturesCountAsFrames) {
    const Bytes stream =
        BuildVideoStream(Mpeg2Layout(), FramePictures(250, 12, PictureCodingParams{}));
    const ScanOutcome scan = ScanBytes(stream);
    EXPECT_EQ(scan.results.mpegVersion, 2u);
    EXPECT_EQ(scan.results.frames, 250);
    EXPECT_EQ(scan.results.pictures, 250.0);
    EXPECT_EQ(scan.results.fields, 500u);
    EXPECT_EQ(scan.results.gops, 21u);
    EXPECT_EQ(scan.results.sequenceHeaders, 21u);
    EXPECT_EQ(scan.results.sequenceEnds, 1u);
    EXPECT_EQ(scan.results.longestGOP, 12u);
    EXPECT_FALSE(scan.results.pullDown);
    EXPECT_EQ(scan.info.duration, MakeTimeCode(0, 0, 10, 0));
    EXPECT_EQ(scan.info.wholeFrameRate, 25);
    EXPECT_EQ(scan.info.pictures, 250u);
    EXPECT_EQ(scan.info.codedPictures, 250u);
}

TEST(M2VScan, FieldPicturesCountHalfEach) {
    StreamLayout layout = Mpeg2Layout();
    const Bytes stream = BuildVideoStream(layout, FieldPictures(250, 12));
    const ScanOutcome scan = ScanBytes(stream);
    EXPECT_EQ(scan.results.frames, 250);
    EXPECT_EQ(scan.results.pictures, 250.0);
    EXPECT_EQ(scan.results.fields, 500u);
    EXPECT_EQ(scan.results.longestGOP, 12u);
    EXPECT_EQ(scan.info.duration, MakeTimeCode(0, 0, 10, 0));
}

TEST(M2VScan, RepeatedFieldsMakeMoreFramesThanPictures) {
    VideoStreamBuilder builder;
    const StreamLayout layout = NtscLayout();
    builder.Sequence(layout.sequence, layout.extension).GOP({});
    const std::uint32_t types[] = {1, 2, 3, 3};
    const std::uint32_t trs[] = {0, 3, 1, 2};
    const std::uint32_t repeat[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        PictureParams picture;
        picture.codingType = types[i];
        picture.temporalReference = trs[i];
        PictureCodingParams coding;
        coding.repeatFirstField = repeat[i];
        builder.Picture(picture, coding);
    }
    builder.SequenceEnd();
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_EQ(scan.results.fields, 10u);
    EXPECT_EQ(scan.results.pictures, 4.0);
    EXPECT_EQ(scan.results.frames, 5);
    EXPECT_TRUE(scan.results.pullDown);
    EXPECT_EQ(scan.info.wholeFrameRate, 30);
    EXPECT_EQ(scan.info.duration, MakeTimeCode(0, 0, 0, 5));
}

TEST(M2VScan, SoftTelecineOf24FramesGives30) {
    const Bytes stream = BuildVideoStream(NtscLayout(), PullDownPictures(240, 12));
    const ScanOutcome scan = ScanBytes(stream);
    EXPECT_EQ(scan.results.pictures, 240.0);
    EXPECT_EQ(scan.results.fields, 600u);
    EXPECT_EQ(scan.results.frames, 300);
    EXPECT_TRUE(scan.results.pullDown);
    EXPECT_EQ(scan.info.duration, MakeTimeCode(0, 0, 10, 0));
}

TEST(M2VScan, PalStreamsNeverFlagPullDown) {
    PictureCodingParams coding;
    coding.topFieldFirst = 1;
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, coding)));
    EXPECT_FALSE(scan.results.pullDown);
    EXPECT_EQ(scan.results.frames, 24);
}

TEST(M2VScan, QuickModeTellsAStillFromAVideo) {
    StreamLayout layout = Mpeg2Layout();
    const Bytes still = BuildVideoStream(layout, FramePictures(1, 12, PictureCodingParams{}));
    const ScanOutcome stillScan = ScanBytes(still, {.quick = true});
    EXPECT_EQ(stillScan.results.pictures, 1.0);
    EXPECT_EQ(stillScan.results.frames, 1);

    // A video: the quick scan ends after the first run of pictures.
    const Bytes video = BuildVideoStream(layout, FramePictures(36, 12, PictureCodingParams{}));
    const ScanOutcome videoScan = ScanBytes(video, {.quick = true});
    EXPECT_EQ(videoScan.results.pictures, 12.0);
    EXPECT_EQ(videoScan.results.gops, 1u);
    EXPECT_EQ(videoScan.results.sequenceHeaders, 1u);
}

TEST(M2VScan, QuickModeReadsOnAfterAOnePictureSequence) {
    // A slide show: one picture per sequence. Only a run with other than one picture stops it.
    VideoStreamBuilder builder;
    const StreamLayout layout = Mpeg2Layout();
    for (int i = 0; i < 3; ++i) {
        builder.Sequence(layout.sequence, layout.extension)
            .GOP({})
            .Picture({}, PictureCodingParams{});
        builder.SequenceEnd();
    }
    const ScanOutcome scan = ScanBytes(builder.Result(), {.quick = true});
    EXPECT_EQ(scan.results.sequenceEnds, 1u);
    EXPECT_EQ(scan.results.pictures, 2.0);
}

TEST(M2VScan, Mpeg1PicturesInCodedOrderCountOnce) {
    StreamLayout layout;  // no sequence extension: MPEG-1
    layout.sequence.width = 352;
    layout.sequence.height = 288;
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(layout, FramePictures(100, 12, std::nullopt)));
    EXPECT_EQ(scan.results.mpegVersion, 1u);
    EXPECT_EQ(scan.results.pictures, 100.0);
    EXPECT_EQ(scan.results.fields, 200u);
    EXPECT_EQ(scan.results.frames, 100);
    EXPECT_EQ(scan.results.repeatedReferences, 0u);
}

TEST(M2VScan, Mpeg1DisplayPositionRules) {
    struct Row {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pictures;  // (tr, type)
        double counted;
        std::uint64_t repeated;
        std::int64_t frames;
    };
    const Row rows[] = {
        {"one repeat comes back at the end", {{0, 1}, {1, 2}, {1, 2}}, 2, 1, 3},
        {"two repeats stay out", {{0, 1}, {1, 2}, {1, 2}, {2, 2}, {2, 2}}, 3, 2, 3},
        {"marked, but a neighbour before it is marked", {{0, 1}, {1, 2}, {2, 2}, {1, 2}}, 4, 0, 4},
        {"marked and alone", {{10, 1}, {0, 2}, {10, 2}}, 2, 0, 2},
        {"unknown types are not counted", {{0, 1}, {1, 4}, {2, 0}}, 1, 0, 1},
    };
    StreamLayout layout;
    layout.sequence.width = 352;
    layout.sequence.height = 288;
    for (const Row& row : rows) {
        std::vector<StreamPicture> pictures;
        for (const auto& [tr, type] : row.pictures) {
            StreamPicture picture;
            picture.header.temporalReference = tr;
            picture.header.codingType = type;
            picture.startsGOP = pictures.empty();
            pictures.push_back(picture);
        }
        const ScanOutcome scan = ScanBytes(BuildVideoStream(layout, pictures));
        EXPECT_EQ(scan.results.repeatedReferences, row.repeated) << row.name;
        EXPECT_EQ(scan.results.frames, row.frames) << row.name;
        EXPECT_EQ(scan.results.fields, 2 * row.pictures.size()) << row.name;
        EXPECT_EQ(scan.info.pictures, static_cast<std::uint32_t>(row.frames)) << row.name;
        EXPECT_EQ(static_cast<double>(scan.results.frames) - (row.repeated == 1 ? 1 : 0),
                  row.counted)
            << row.name;
    }
}

TEST(M2VScan, DisplayPositionsBeyondTheTableStillCount) {
    // 2,001 GOPs of 1,000 MPEG-1 pictures: the last thousand positions lie past the table.
    VideoStreamBuilder builder;
    SequenceHeaderParams header;
    header.width = 352;
    header.height = 288;
    builder.Sequence(header, std::nullopt);
    Bytes gop = GOPHeaderBytes({});
    for (std::uint32_t tr = 0; tr < 1000; ++tr) {
        PictureParams picture;
        picture.temporalReference = tr;
        picture.codingType = tr == 0 ? 1 : 2;
        const Bytes pictureBytes = PictureHeaderBytes(picture);
        gop.insert(gop.end(), pictureBytes.begin(), pictureBytes.end());
    }
    for (int g = 0; g < 2001; ++g) {
        builder.Add(gop);
    }
    const ScanOutcome scan = ScanBytes(builder.Result(), {.collect = false});
    EXPECT_EQ(scan.results.pictures, 2001000.0);
    EXPECT_EQ(scan.results.frames, 2001000);
}

TEST(M2VScan, WithoutSequenceExtensionTheStreamIsMpeg1) {
    StreamLayout layout;
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(layout, FramePictures(12, 12, std::nullopt)));
    EXPECT_EQ(scan.results.mpegVersion, 1u);
    EXPECT_EQ(scan.info.mpegVersion, 1u);
}

TEST(M2VScan, PanScanNeedsA540WideWindowOnA4By3FullWidthPicture) {
    struct Row {
        std::uint32_t aspect, width, displayWidth, displayHeight;
        bool display;
        bool panScan;
    };
    const Row rows[] = {
        {2, 720, 540, 576, true, true},  {2, 704, 540, 576, true, true},
        {3, 720, 540, 576, true, false}, {2, 352, 540, 576, true, false},
        {2, 720, 720, 576, true, false}, {2, 720, 540, 0, true, false},
        {2, 720, 0, 0, false, false},
    };
    for (const Row& row : rows) {
        StreamLayout layout = Mpeg2Layout();
        layout.sequence.aspectRatio = row.aspect;
        layout.sequence.width = row.width;
        if (row.display) {
            SequenceDisplayExtensionParams display;
            display.displayWidth = row.displayWidth;
            display.displayHeight = row.displayHeight;
            layout.display = display;
        }
        const ScanOutcome scan =
            ScanBytes(BuildVideoStream(layout, FramePictures(3, 3, PictureCodingParams{})));
        EXPECT_EQ(scan.results.panScan, row.panScan)
            << row.aspect << " " << row.width << " " << row.displayWidth << "x"
            << row.displayHeight;
        EXPECT_EQ(scan.info.displayWidth, row.display ? row.displayWidth : 0u);
        EXPECT_EQ(scan.info.displayHeight, row.display ? row.displayHeight : 0u);
    }
}

TEST(M2VScan, SizesAndRatesFromTheFirstUsableHeader) {
    VideoStreamBuilder builder;
    SequenceHeaderParams zero;
    zero.width = 0;
    zero.height = 0;
    zero.aspectRatio = 13;   // not a stored aspect code
    zero.frameRateCode = 9;  // not a stored frame rate code
    zero.bitRateValue = 99999;
    builder.Sequence(zero, SequenceExtensionParams{}).GOP({}).Picture({}, PictureCodingParams{});
    SequenceHeaderParams first;
    first.width = 720;
    first.height = 480;
    first.aspectRatio = 3;
    first.frameRateCode = 4;
    first.bitRateValue = 20000;
    SequenceHeaderParams second = first;
    second.width = 352;
    second.bitRateValue = 25000;
    SequenceHeaderParams third = first;
    third.bitRateValue = 15000;
    for (const auto& header : {first, second, third}) {
        builder.Sequence(header, SequenceExtensionParams{})
            .GOP({})
            .Picture({}, PictureCodingParams{});
    }
    builder.SequenceEnd();
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_EQ(scan.results.width, 720u);
    EXPECT_EQ(scan.results.height, 480u);
    EXPECT_EQ(scan.results.aspectRatio, 3u);
    EXPECT_EQ(scan.results.frameRateCode, 4u);
    EXPECT_EQ(scan.results.bitRate, 8000000u);
    // Turned into bits per second by a scan without cache.
    EXPECT_EQ(scan.results.highestBitRate, 25000u * 400);
    EXPECT_EQ(scan.results.lowestBitRate, 15000u * 400);
    EXPECT_EQ(scan.results.averageBitRate, (600u / 3) * 100 * 400);
    EXPECT_EQ(scan.info.averageBitRate, 8000000u);
}

TEST(M2VScan, LowBitRatesAreRaisedTo200000) {
    StreamLayout layout = Mpeg2Layout();
    layout.sequence.bitRateValue = 100;
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(layout, FramePictures(3, 3, PictureCodingParams{})));
    EXPECT_EQ(scan.results.bitRate, 200000u);
    EXPECT_EQ(scan.results.lowestBitRate, 40000u);
}

TEST(M2VScan, AspectChangesAreCountedAndTheFirstReported) {
    VideoStreamBuilder builder;
    const std::uint32_t aspects[] = {2, 2, 3, 2, 3};
    for (std::uint32_t aspect : aspects) {
        SequenceHeaderParams header;
        header.aspectRatio = aspect;
        builder.Sequence(header, SequenceExtensionParams{})
            .GOP({})
            .Picture({}, PictureCodingParams{});
    }
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_EQ(scan.results.aspectChanges, 2u);
    EXPECT_EQ(scan.results.aspectRatio, 2u);
    ASSERT_EQ(scan.messages.size(), 1u);
    EXPECT_EQ(scan.messages[0], "Aspect ratio was changed in SEQUENCE_HEADER #3");
}

TEST(M2VScan, VariableBitRateFromVbvDelay) {
    for (std::uint32_t delay : {0xFFFFu, 0x1234u}) {
        VideoStreamBuilder builder;
        PictureParams picture;
        picture.vbvDelay = delay;
        builder.Sequence({}, SequenceExtensionParams{})
            .GOP({})
            .Picture(picture, PictureCodingParams{});
        EXPECT_EQ(ScanBytes(builder.Result()).results.variableBitRate, delay == 0xFFFF);
    }
}

TEST(M2VScan, ClosedCaptionsAfterTheGOPHeaderOnly) {
    StreamLayout layout = Mpeg2Layout();
    layout.gopUserData = Line21UserDataBytes(0x8A, 0xFF, 0xFE);
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(layout, FramePictures(3, 3, PictureCodingParams{})));
    EXPECT_TRUE(scan.results.line21Switch1);
    EXPECT_FALSE(scan.results.line21Switch2);

    // The same bytes at picture level mean nothing.
    std::vector<StreamPicture> pictures = FramePictures(3, 3, PictureCodingParams{});
    pictures[0].extensions = Line21UserDataBytes(0x8A, 0xFF, 0xFF);
    const ScanOutcome picture = ScanBytes(BuildVideoStream(Mpeg2Layout(), pictures));
    EXPECT_FALSE(picture.results.line21Switch1);
    EXPECT_FALSE(picture.results.line21Switch2);
}

TEST(M2VScan, StartTimeFromTheFirstGOP) {
    VideoStreamBuilder builder;
    GOPParams first;
    first.hours = 1;
    first.minutes = 2;
    first.seconds = 3;
    first.pictures = 4;
    GOPParams second;
    second.hours = 5;
    builder.Sequence({}, SequenceExtensionParams{}).GOP(first).Picture({}, PictureCodingParams{});
    builder.GOP(second).Picture({}, PictureCodingParams{});
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_EQ(scan.results.startTime, MakeTimeCode(1, 2, 3, 4));
    EXPECT_EQ(scan.results.gops, 2u);
}

// Everything the syntax allows around the pictures must leave the count alone.
TEST(M2VScan, HeadersAroundThePicturesDoNotChangeTheCount) {
    struct Variant {
        const char* name;
        std::function<void(StreamLayout&, std::vector<StreamPicture>&)> change;
    };
    const Bytes copyright = ExtensionBytes(4, {0x12, 0x34, 0x56, 0x78, 0x9A});
    const Variant variants[] = {
        {"plain", [](StreamLayout&, std::vector<StreamPicture>&) {}},
        {"quantiser matrices",
         [](StreamLayout& s, std::vector<StreamPicture>&) {
             s.sequence.intraMatrix = std::array<std::uint8_t, 64>{};
             s.sequence.nonIntraMatrix = std::array<std::uint8_t, 64>{};
             s.sequence.intraMatrix->fill(16);
             s.sequence.nonIntraMatrix->fill(1);
         }},
        {"display extension with colour",
         [](StreamLayout& s, std::vector<StreamPicture>&) {
             SequenceDisplayExtensionParams d;
             d.colourDescription = true;
             s.display = d;
         }},
        {"GOP user data",
         [](StreamLayout& s, std::vector<StreamPicture>&) {
             s.gopUserData = UserDataBytes({1, 2, 3, 0, 0, 2, 0xFF});
         }},
        {"picture extensions and user data",
         [&](StreamLayout&, std::vector<StreamPicture>& pictures) {
             for (auto& p : pictures) {
                 p.extensions = QuantMatrixExtensionBytes(true, false, false, true);
                 const Bytes more[] = {PictureDisplayExtensionBytes(2),
                                       PictureSpatialScalableExtensionBytes(),
                                       PictureTemporalScalableExtensionBytes(), copyright,
                                       UserDataBytes({0x47, 0x41, 0x39, 0x34})};
                 for (const Bytes& b : more) {
                     p.extensions.insert(p.extensions.end(), b.begin(), b.end());
                 }
             }
         }},
        {"extra picture information",
         [](StreamLayout&, std::vector<StreamPicture>& pictures) {
             for (auto& p : pictures) {
                 p.header.extraInformation = {0xAA, 0x00, 0xFF};
             }
         }},
        {"composite display",
         [](StreamLayout&, std::vector<StreamPicture>& pictures) {
             for (auto& p : pictures) {
                 p.coding->compositeDisplay = true;
             }
         }},
        {"tall pictures",
         [](StreamLayout& s, std::vector<StreamPicture>&) { s.sequence.height = 2880; }},
        {"no sequence header before later GOPs",
         [](StreamLayout& s, std::vector<StreamPicture>&) { s.sequenceHeaderEveryGOP = false; }},
        {"no sequence end",
         [](StreamLayout& s, std::vector<StreamPicture>&) { s.sequenceEnd = false; }},
        {"many slices",
         [](StreamLayout& s, std::vector<StreamPicture>&) {
             s.slicesPerPicture = 36;
             s.sliceBytes = 100;
         }},
    };
    for (const Variant& variant : variants) {
        StreamLayout layout = Mpeg2Layout();
        std::vector<StreamPicture> pictures = FramePictures(24, 12, PictureCodingParams{});
        variant.change(layout, pictures);
        const ScanOutcome scan = ScanBytes(BuildVideoStream(layout, pictures));
        EXPECT_EQ(scan.results.frames, 24) << variant.name;
        EXPECT_EQ(scan.results.fields, 48u) << variant.name;
        EXPECT_EQ(scan.results.gops, 2u) << variant.name;
    }
}

TEST(M2VScan, ExtensionAfterAGOPHeaderIsSteppedOver) {
    StreamLayout layout = Mpeg2Layout();
    layout.gopUserData = ExtensionBytes(8, {0x11, 0x22, 0x33});
    const ScanOutcome scan =
        ScanBytes(BuildVideoStream(layout, FramePictures(24, 12, PictureCodingParams{})));
    EXPECT_EQ(scan.results.frames, 24);
    const auto tags = TagsOf(scan.entries);
    EXPECT_EQ(std::count(tags.begin(), tags.end(), entry_tag::kPictureHeader), 24);
    EXPECT_EQ(std::count(tags.begin(), tags.end(), entry_tag::kPictureCodingExtension), 24);
}

// Regression: user data was read by peeking three bytes ahead, which cannot see a prefix
// split by the end of a full buffer when fewer than four bytes follow it in the file; the
// sequence end after such user data was lost.
TEST(M2VScan, UserDataBeforeAPrefixSplitByTheBufferKeepsThatStartCode) {
    VideoStreamBuilder builder;
    builder.Sequence({}, SequenceExtensionParams{}).GOP({});
    builder.Add(PictureHeaderBytes({})).Add(PictureCodingExtensionBytes({}));
    const std::size_t head = builder.Result().size();
    const std::size_t prefixAt = TFileBitStream::kScanBufferSize - 2;
    builder.Add(UserDataBytes(Bytes(prefixAt - head - 12, 0x55)));
    builder.Add(UserDataBytes({0x11, 0x22, 0x33, 0x44}));
    builder.SequenceEnd();
    ASSERT_EQ(builder.Result().size(), TFileBitStream::kScanBufferSize + 2);
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_EQ(scan.results.sequenceEnds, 1u);
    EXPECT_EQ(scan.results.frames, 1);
}

TEST(M2VScan, TableOfEntriesInStreamOrder) {
    StreamLayout layout = Mpeg2Layout();
    layout.display = SequenceDisplayExtensionParams{};
    layout.gopUserData = UserDataBytes({9, 9, 9});
    std::vector<StreamPicture> pictures = FramePictures(2, 2, PictureCodingParams{});
    pictures[1].extensions = QuantMatrixExtensionBytes(false, false, false, false);
    const Bytes stream = BuildVideoStream(layout, pictures);

    const ScanOutcome main = ScanBytes(stream, {.collect = true});
    const std::vector<int> expected = {179, 194, 195, 184, 203, 201, 203, 201, 183};
    EXPECT_EQ(TagsOf(main.entries), expected);
    for (std::size_t i = 0; i < main.entries.size(); ++i) {
        EXPECT_EQ(main.entries[i].number, i + 1);
    }

    const ScanOutcome all = ScanBytes(stream, {.collect = true, .collectAll = true});
    const std::vector<int> expectedAll = {179, 194, 195, 184, 178, 203, 201, 203, 201, 196, 183};
    EXPECT_EQ(TagsOf(all.entries), expectedAll);

    const ScanOutcome none = ScanBytes(stream, {.collect = false});
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.results.frames, 2);
}

TEST(M2VScan, PictureEntriesCarryDisplayAndFilePositions) {
    StreamLayout layout = Mpeg2Layout();
    const Bytes stream = BuildVideoStream(layout, FramePictures(6, 3, PictureCodingParams{}));
    const ScanOutcome scan = ScanBytes(stream);
    std::vector<std::int64_t> sequenceHeaderPositions;
    for (std::size_t i = 0; i + 3 < stream.size(); ++i) {
        if (stream[i] == 0 && stream[i + 1] == 0 && stream[i + 2] == 1 && stream[i + 3] == 0xB3) {
            sequenceHeaderPositions.push_back(static_cast<std::int64_t>(i));
        }
    }
    ASSERT_EQ(sequenceHeaderPositions.size(), 2u);
    std::vector<std::uint32_t> displayPositions;
    for (const HeaderEntry& entry : scan.entries) {
        if (entry.tag != entry_tag::kPictureHeader) {
            continue;
        }
        const auto picture = HeaderFromValues<PictureHeader>(entry.values);
        displayPositions.push_back(picture.displayPosition);
        const auto position = static_cast<std::int64_t>(picture.filePosition);
        if (picture.codingType == 1) {
            EXPECT_EQ(position, sequenceHeaderPositions[displayPositions.size() == 1 ? 0 : 1]);
        } else {
            ASSERT_LT(static_cast<std::size_t>(position) + 3, stream.size());
            EXPECT_EQ(stream[static_cast<std::size_t>(position) + 2], 1);
            EXPECT_EQ(stream[static_cast<std::size_t>(position) + 3], 0);
        }
    }
    const std::vector<std::uint32_t> expected = {0, 2, 1, 3, 5, 4};
    EXPECT_EQ(displayPositions, expected);
}

TEST(M2VScan, UnknownPictureTypesAreReported) {
    VideoStreamBuilder builder;
    PictureParams bad;
    bad.codingType = 4;
    builder.Sequence({}, SequenceExtensionParams{}).GOP({}).Picture({}, PictureCodingParams{});
    const std::size_t badPosition = builder.Result().size();
    builder.Picture(bad, PictureCodingParams{});
    const ScanOutcome scan = ScanBytes(builder.Result());
    ASSERT_EQ(scan.messages.size(), 1u);
    EXPECT_EQ(scan.messages[0],
              "Unknown Frame Type! GOP Number: 1, File Position: " + std::to_string(badPosition));
    // Only when the picture header enters the table.
    EXPECT_TRUE(ScanBytes(builder.Result(), {.collect = false}).messages.empty());
}

TEST(M2VScan, SystemStartCodesAreNotedAsUnformattedData) {
    VideoStreamBuilder builder;
    builder.Sequence({}, SequenceExtensionParams{});
    const std::size_t position = builder.Result().size();
    builder.Add(StartCodeBytes(0xBD, Bytes(20, 0x77)));
    builder.GOP({}).Picture({}, PictureCodingParams{}).SequenceEnd();
    const ScanOutcome scan = ScanBytes(builder.Result(), {.collectAll = true});
    ASSERT_EQ(scan.results.unformatted.size(), 1u);
    EXPECT_EQ(scan.results.unformatted[0].position, static_cast<std::int64_t>(position));
    EXPECT_EQ(scan.results.unformatted[0].length, 24);
    ASSERT_EQ(scan.messages.size(), 1u);
    EXPECT_EQ(scan.messages[0],
              "Find not formatted stream or data: BD - Private Stream 1, FilePos: " +
                  std::to_string(position) + ", Length: 24 bytes.");
    EXPECT_EQ(scan.results.frames, 1);
    const auto tags = TagsOf(scan.entries);
    EXPECT_EQ(std::count(tags.begin(), tags.end(), entry_tag::kUnformattedData), 1);
}

TEST(M2VScan, IdleCallbackAtGOP10Then19And28) {
    const std::pair<int, int> rows[] = {{9, 0}, {10, 1}, {18, 1}, {19, 2}, {27, 2}, {28, 3}};
    for (const auto& [gops, calls] : rows) {
        TempDir dir;
        const std::string file = dir.write(
            "v.m2v",
            BuildVideoStream(Mpeg2Layout(), FramePictures(gops, 1, PictureCodingParams{})));
        TM2VStream stream(file);
        stream.SetCache(false);
        int idle = 0;
        stream.SetIdleCallback([&] { ++idle; });
        stream.Scan(false, false);
        EXPECT_EQ(idle, calls) << gops << " GOPs";
    }
}

TEST(M2VScan, AbortStopsTheScanWithPartialResults) {
    TempDir dir;
    // One sequence header for the whole stream: Cancel must still work between GOPs.
    StreamLayout layout = Mpeg2Layout();
    layout.sequenceHeaderEveryGOP = false;
    const std::string file =
        dir.write("v.m2v", BuildVideoStream(layout, FramePictures(600, 12, PictureCodingParams{})));
    TM2VStream stream(file);
    stream.SetCache(false);
    AbortFlag abort{0};
    stream.SetAbortFlag(&abort);
    stream.SetIdleCallback([&] { abort = 1; });
    stream.Scan(true, false);
    EXPECT_TRUE(stream.Aborted());
    EXPECT_EQ(stream.Results().gops, 10u);
    EXPECT_EQ(stream.Results().frames, 9 * 12);
}

TEST(M2VScan, ProgressInBlocksUpToTheMaximum) {
    TempDir dir;
    StreamLayout layout = Mpeg2Layout();
    layout.sliceBytes = 5000;
    layout.slicesPerPicture = 10;
    const Bytes stream = BuildVideoStream(layout, FramePictures(60, 12, PictureCodingParams{}));
    ASSERT_GT(stream.size(), 2 * TFileBitStream::kScanBufferSize);
    const std::string file = dir.write("v.m2v", stream);
    for (bool blocks : {true, false}) {
        struct Recorder : ProgressState {
            std::vector<std::int64_t> positions;
            void setPosition(std::int64_t value) override {
                positions.push_back(value);
                ProgressState::setPosition(value);
            }
        } progress;
        TM2VStream scan(file);
        scan.SetCache(false);
        scan.SetBlockProgress(blocks);
        scan.SetProgress(&progress);
        scan.Scan(false, false);
        const auto maximum =
            static_cast<std::int64_t>(stream.size() / TFileBitStream::kScanBufferSize);
        EXPECT_EQ(progress.maximum(), maximum);
        ASSERT_FALSE(progress.positions.empty());
        EXPECT_EQ(progress.positions.front(), 0);
        EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
        EXPECT_LE(progress.positions.back(), maximum);
        EXPECT_GE(progress.positions.back(),
                  blocks ? maximum : RoundEven(0.85 * static_cast<double>(maximum)));
    }
}

TEST(M2VScan, StreamsWithoutPicturesLastNothing) {
    struct Row {
        const char* name;
        Bytes bytes;
    };
    VideoStreamBuilder headersOnly;
    headersOnly.Sequence({}, SequenceExtensionParams{}).SequenceEnd();
    VideoStreamBuilder ntscHeadersOnly;
    SequenceHeaderParams ntsc;
    ntsc.frameRateCode = 4;
    ntscHeadersOnly.Sequence(ntsc, SequenceExtensionParams{});
    const Row rows[] = {
        {"sequence header and end", headersOnly.Result()},
        {"NTSC sequence header", ntscHeadersOnly.Result()},
        {"no start code at all", Bytes(1000, 0x47)},
        {"a lone prefix", {0x00, 0x00, 0x01}},
    };
    for (const Row& row : rows) {
        const ScanOutcome scan = ScanBytes(row.bytes);
        EXPECT_EQ(scan.results.frames, 0) << row.name;
        EXPECT_EQ(scan.info.duration, TimeCode{}) << row.name;
    }
}

TEST(M2VScan, MissingAndEmptyFilesThrowAfterAMessage) {
    TempDir dir;
    RecordingHost host;
    EXPECT_THROW(TM2VStream(dir.file("missing.m2v")), EParserFileException);
    EXPECT_THROW(TM2VStream(dir.write("empty.m2v", {})), EParserFileException);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text,
              "Unable to open file " + dir.file("missing.m2v") + " for reading.");
    EXPECT_EQ(host.messages[1].text, "Unable to read from file " + dir.file("empty.m2v") + ".");
}

TEST(M2VScan, StreamCutAnywhereCountsWhatIsComplete) {
    const Bytes stream =
        BuildVideoStream(Mpeg2Layout(), FramePictures(6, 3, PictureCodingParams{}));
    std::int64_t previous = 0;
    for (std::size_t cut = 1; cut <= stream.size(); ++cut) {
        const Bytes part(stream.begin(), stream.begin() + static_cast<long>(cut));
        const ScanOutcome scan = ScanBytes(part);
        EXPECT_GE(scan.results.frames, previous) << cut;
        EXPECT_LE(scan.results.frames, 6) << cut;
        previous = scan.results.frames;
    }
    EXPECT_EQ(previous, 6);
}

TEST(M2VScan, GarbageBetweenHeadersIsSkipped) {
    // Filler without start codes after every header, as a damaged copy may hold.
    StreamLayout layout = Mpeg2Layout();
    std::vector<StreamPicture> pictures = FramePictures(24, 12, PictureCodingParams{});
    for (auto& picture : pictures) {
        picture.extensions = {0x47, 0x11, 0x00, 0x00, 0x02, 0xFF, 0x00, 0x5A};
    }
    const ScanOutcome scan = ScanBytes(BuildVideoStream(layout, pictures));
    EXPECT_EQ(scan.results.frames, 24);
}

TEST(M2VScan, ProgramStreamDoesNotCrash) {
    VideoStreamBuilder builder;
    builder.Add(PackHeaderBytes()).Add(StartCodeBytes(0xBB, Bytes(12, 0x80)));
    builder.Add(StartCodeBytes(0xE0, {0x07, 0xEC, 0x81, 0x80, 0x05, 0x21, 0x00, 0x01, 0x00, 0x01}));
    const Bytes video =
        BuildVideoStream(Mpeg2Layout(), FramePictures(12, 12, PictureCodingParams{}));
    builder.Add(video).Add(PackHeaderBytes()).Add(StartCodeBytes(0xBE, Bytes(40, 0xFF)));
    builder.Add(StartCodeBytes(0xB9, {}));
    const ScanOutcome scan = ScanBytes(builder.Result());
    EXPECT_GE(scan.results.frames, 0);
    EXPECT_LE(scan.results.frames, 12);
}

TEST(M2VScan, RandomBytesNeverHang) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> pick(0, 15);
    for (int round = 0; round < 150; ++round) {
        Bytes bytes(200 + static_cast<std::size_t>(rng() % 4000));
        for (auto& b : bytes) {
            const int p = pick(rng);
            b = static_cast<std::uint8_t>(p < 5 ? 0 : (p < 7 ? 1 : (p < 9 ? 0xB5 : any(rng))));
        }
        const ScanOutcome scan = ScanBytes(bytes, {.collectAll = true});
        EXPECT_GE(scan.results.frames, 0);
        EXPECT_LE(scan.results.pictures, static_cast<double>(bytes.size()));
    }
}

TEST(EndPatternCase, EachRowByItsOwnPattern) {
    struct Row {
        int endCase;
        std::array<std::uint32_t, 3> t, f, r;  // last picture first
    };
    const Row rows[] = {
        {1, {1, 3, 0}, {0, 1, 0}, {0, 1, 0}},  {2, {1, 2, 0}, {0, 1, 0}, {0, 1, 0}},
        {3, {1, 3, 0}, {0, 0, 0}, {0, 0, 0}},  {4, {1, 2, 0}, {0, 1, 0}, {0, 0, 0}},
        {5, {2, 1, 0}, {0, 0, 0}, {0, 1, 0}},  {6, {3, 3, 0}, {1, 1, 0}, {0, 0, 0}},
        {7, {2, 3, 0}, {1, 1, 0}, {1, 1, 0}},  {8, {3, 3, 2}, {0, 1, 0}, {0, 1, 1}},
        {9, {2, 3, 0}, {0, 1, 0}, {1, 1, 0}},  {10, {2, 2, 0}, {0, 0, 0}, {1, 0, 0}},
        {11, {2, 2, 0}, {1, 0, 0}, {0, 1, 0}}, {12, {2, 2, 0}, {1, 1, 0}, {1, 0, 0}},
        {15, {3, 2, 0}, {0, 0, 0}, {0, 0, 0}}, {16, {2, 3, 0}, {0, 1, 0}, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        PictureHistory history;
        history.codingType = row.t;
        history.topFieldFirst = row.f;
        history.repeatFirstField = row.r;
        EXPECT_EQ(EndPatternCase(history, false), row.endCase);
        EXPECT_EQ(EndPatternCase(history, true), row.endCase);
    }
    PictureHistory none;
    none.codingType = {1, 1, 1};
    EXPECT_EQ(EndPatternCase(none, false), 14);
    EXPECT_EQ(EndPatternCase(none, true), 0);
}

TEST(EndPatternCase, FieldsToFramesByCase) {
    for (int endCase : {1, 3, 4, 6, 11, 14, 15, 16}) {
        EXPECT_EQ(FramesFromFields(endCase, 11, 0), 6) << endCase;
        EXPECT_EQ(FramesFromFields(endCase, 10, 0), 5) << endCase;
    }
    for (int endCase : {2, 5, 7, 8, 9, 10, 12}) {
        EXPECT_EQ(FramesFromFields(endCase, 11, 1), 5) << endCase;
    }
    EXPECT_EQ(FramesFromFields(0, 11, 1), 6);
    EXPECT_EQ(FramesFromFields(0, 11, 0), 5);
}

}  // namespace
}  // namespace varnix
