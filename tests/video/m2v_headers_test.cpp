// Header parsers on headers built in memory by the stream builders: every field lands in its
// record value, the parser stops exactly where the header ends, and a header cut anywhere
// reports itself as incomplete; each record's values read back into the same record.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "support/video_builders.h"
#include "video/m2v_headers.h"

namespace varnix {
namespace {

using namespace varnix::test;

using Parser = std::function<bool(TBitStream&)>;

struct ParseResult {
    bool complete = false;
    bool nextCodeFound = false;
    std::int64_t nextCodePosition = -1;
};

// Parses the header at the start of `bytes`, then looks for the sequence end code that the
// helper appends, which must be the very next start code.
ParseResult ParseAndFindNext(const Bytes& header, const Parser& parse, bool appendEnd = true) {
    Bytes bytes = header;
    if (appendEnd) {
        const Bytes end = SequenceEndBytes();
        bytes.insert(bytes.end(), end.begin(), end.end());
    }
    TBitStream reader(bytes);
    EXPECT_TRUE(reader.NextStartCode());
    ParseResult result;
    result.complete = parse(reader);
    if (reader.NextStartCode() && !reader.EndOfData()) {
        result.nextCodeFound = reader.PeekBits(8) == 0xB7;
        result.nextCodePosition = reader.Position() - 3;
    }
    return result;
}

template <typename Record>
Record Parse(const Bytes& header) {
    Record record;
    const ParseResult result =
        ParseAndFindNext(header, [&](TBitStream& bits) { return ParseHeader(bits, record); });
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.nextCodeFound);
    EXPECT_EQ(result.nextCodePosition, static_cast<std::int64_t>(header.size()));
    return record;
}

// Compares a record's values with the expected list, naming the syntax element of a mismatch.
template <typename Record>
void ExpectValues(const Record& record,
                  const std::array<std::uint32_t, kHeaderValueCount<Record>>& expected) {
    const auto values = HeaderValues(record);
    std::size_t i = 0;
    for (const HeaderField<Record>& field : HeaderLayout<Record>::kFields) {
        const std::size_t slots = field.wide != nullptr ? 2 : (field.value != nullptr ? 1 : 0);
        for (std::size_t end = i + slots; i < end; ++i) {
            EXPECT_EQ(values[i], expected[i]) << field.name;
        }
    }
}

template <typename Record>
Parser ParserOf() {
    return [](TBitStream& bits) {
        Record record;
        return ParseHeader(bits, record);
    };
}

// A record read back from its list of values gives the same list: every value, the two halves
// of the 64-bit ones included, has its own place.
template <typename Record>
void ExpectValuesRoundTrip(std::size_t cacheBytes) {
    std::array<std::uint32_t, kHeaderValueCount<Record>> values{};
    std::iota(values.begin(), values.end(), 0x01020304u);
    EXPECT_EQ(HeaderValues(HeaderFromValues<Record>(values)), values);
    EXPECT_EQ(4 * values.size(), cacheBytes);
    // A short list reads as zeros at its end.
    const Record shortened = HeaderFromValues<Record>(std::span(values).first(1));
    auto expected = decltype(values){};
    expected[0] = values[0];
    ExpectValues(shortened, expected);
}

TEST(HeaderRecords, ValuesAndTheirInverseFromOneDescription) {
    ExpectValuesRoundTrip<SequenceHeader>(52);
    ExpectValuesRoundTrip<SequenceExtension>(52);
    ExpectValuesRoundTrip<SequenceDisplayExtension>(36);
    ExpectValuesRoundTrip<GOPHeader>(40);
    ExpectValuesRoundTrip<PictureHeader>(52);
    ExpectValuesRoundTrip<PictureCodingExtension>(80);
    ExpectValuesRoundTrip<SequenceEndRecord>(4);
    ExpectValuesRoundTrip<UnparsedData>(20);

    SequenceHeader numbered;
    numbered.number = 0x0000000500000007;
    const auto values = HeaderValues(numbered);
    EXPECT_EQ(values[11], 7u);  // low half first
    EXPECT_EQ(values[12], 5u);
}

TEST(SequenceHeaderParser, FieldsAndQuantiserMatrices) {
    SequenceHeaderParams p;
    p.width = 704;
    p.height = 480;
    p.aspectRatio = 3;
    p.frameRateCode = 4;
    p.bitRateValue = 0x2ABCD;
    p.vbvBufferSize = 0x2F1;
    p.constrainedParameters = 1;
    p.nonIntraMatrix = std::array<std::uint8_t, 64>{};
    p.nonIntraMatrix->fill(0x10);
    const SequenceHeader h = Parse<SequenceHeader>(SequenceHeaderBytes(p));
    EXPECT_EQ(h.startCode, 0xB3u);
    EXPECT_EQ(h.horizontalSize, 704u);
    EXPECT_EQ(h.verticalSize, 480u);
    EXPECT_EQ(h.aspectRatio, 3u);
    EXPECT_EQ(h.frameRateCode, 4u);
    EXPECT_EQ(h.bitRateValue, 0x2ABCDu);
    EXPECT_EQ(h.markerBit, 1u);
    EXPECT_EQ(h.vbvBufferSize, 0x2F1u);
    EXPECT_EQ(h.constrainedParameters, 1u);
    EXPECT_EQ(h.loadIntraQuantiserMatrix, 0u);
    EXPECT_EQ(h.loadNonIntraQuantiserMatrix, 1u);

    p.intraMatrix = p.nonIntraMatrix;
    const SequenceHeader both = Parse<SequenceHeader>(SequenceHeaderBytes(p));
    EXPECT_EQ(both.loadIntraQuantiserMatrix, 1u);
    EXPECT_EQ(both.loadNonIntraQuantiserMatrix, 1u);
}

TEST(SequenceExtensionParser, Fields) {
    SequenceExtensionParams p;
    p.profileAndLevel = 0x44;
    p.progressiveSequence = 1;
    p.chromaFormat = 2;
    p.horizontalSizeExtension = 1;
    p.verticalSizeExtension = 2;
    p.bitRateExtension = 0xABC;
    p.vbvBufferSizeExtension = 0x5A;
    p.lowDelay = 1;
    p.frameRateExtensionN = 3;
    p.frameRateExtensionD = 17;
    const SequenceExtension e = Parse<SequenceExtension>(SequenceExtensionBytes(p));
    const std::array<std::uint32_t, 13> expected = {0xB5,  1, 0x44, 1, 2, 1, 2,
                                                    0xABC, 1, 0x5A, 1, 3, 17};
    ExpectValues(e, expected);
}

TEST(SequenceDisplayExtensionParser, WithAndWithoutColourDescription) {
    SequenceDisplayExtensionParams p;
    p.videoFormat = 2;
    p.displayWidth = 540;
    p.displayHeight = 576;
    const auto plain = Parse<SequenceDisplayExtension>(SequenceDisplayExtensionBytes(p));
    const std::array<std::uint32_t, 9> expectedPlain = {2, 2, 0, 0, 0, 0, 540, 1, 576};
    ExpectValues(plain, expectedPlain);

    p.colourDescription = true;
    p.colourPrimaries = 1;
    p.transferCharacteristics = 6;
    p.matrixCoefficients = 7;
    const auto colour = Parse<SequenceDisplayExtension>(SequenceDisplayExtensionBytes(p));
    const std::array<std::uint32_t, 9> expectedColour = {2, 2, 1, 1, 6, 7, 540, 1, 576};
    ExpectValues(colour, expectedColour);
}

TEST(GOPHeaderParser, TimeCodeAndFlags) {
    GOPParams p;
    p.dropFrame = 1;
    p.hours = 23;
    p.minutes = 59;
    p.seconds = 58;
    p.pictures = 29;
    p.closedGOP = 0;
    p.brokenLink = 1;
    const GOPHeader h = Parse<GOPHeader>(GOPHeaderBytes(p));
    const std::array<std::uint32_t, 10> expected = {0xB8, 1, 23, 59, 1, 58, 29, 0, 1, 0};
    ExpectValues(h, expected);
}

TEST(PictureHeaderParser, CodingTypesDecideTheVectorFields) {
    struct Row {
        std::uint32_t type;
        std::vector<std::uint8_t> extra;
        std::uint32_t forwardFCode, backwardFCode, lastExtra;
    };
    const Row rows[] = {
        {1, {}, 0, 0, 0},        {2, {}, 5, 0, 0}, {3, {}, 5, 6, 0}, {3, {0x11, 0x22}, 5, 6, 0x22},
        {4, {0x7E}, 0, 0, 0x7E},
    };
    for (const Row& row : rows) {
        PictureParams p;
        p.temporalReference = 1000;
        p.codingType = row.type;
        p.vbvDelay = 0x1234;
        p.fullPelForwardVector = 1;
        p.forwardFCode = 5;
        p.fullPelBackwardVector = 1;
        p.backwardFCode = 6;
        p.extraInformation = row.extra;
        const PictureHeader h = Parse<PictureHeader>(PictureHeaderBytes(p));
        EXPECT_EQ(h.temporalReference, 1000u);
        EXPECT_EQ(h.codingType, row.type);
        EXPECT_EQ(h.vbvDelay, 0x1234u);
        EXPECT_EQ(h.forwardFCode, row.forwardFCode) << row.type;
        EXPECT_EQ(h.backwardFCode, row.backwardFCode) << row.type;
        EXPECT_EQ(h.fullPelForwardVector, row.forwardFCode != 0 ? 1u : 0u);
        EXPECT_EQ(h.extraInformation, row.lastExtra);
        EXPECT_EQ(h.extraBitPicture, 0u);
    }
}

TEST(PictureCodingExtensionParser, FieldsWithAndWithoutCompositeDisplay) {
    PictureCodingParams p;
    p.fCodes = {1, 2, 3, 4};
    p.intraDcPrecision = 2;
    p.pictureStructure = 1;
    p.topFieldFirst = 1;
    p.framePredFrameDct = 0;
    p.concealmentMotionVectors = 1;
    p.qScaleType = 1;
    p.intraVlcFormat = 1;
    p.alternateScan = 1;
    p.repeatFirstField = 1;
    p.chroma420Type = 0;
    p.progressiveFrame = 0;
    const auto plain = Parse<PictureCodingExtension>(PictureCodingExtensionBytes(p));
    const std::array<std::uint32_t, 20> expectedPlain = {0xB5, 8, 0x04030201, 2, 1, 1, 0, 1, 1, 1,
                                                         1,    1, 0,          0, 0, 0, 0, 0, 0, 0};
    ExpectValues(plain, expectedPlain);

    p.compositeDisplay = true;
    const auto composite = Parse<PictureCodingExtension>(PictureCodingExtensionBytes(p));
    const std::array<std::uint32_t, 20> expectedComposite = {
        0xB5, 8, 0x04030201, 2, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 1, 1, 5, 1, 0x55, 0xA3};
    ExpectValues(composite, expectedComposite);
}

TEST(MinorExtensionParsers, SteppedOverByTheirSyntax) {
    std::vector<std::uint32_t> values;
    const auto parse = [&](auto parser) {
        return [&values, parser](TBitStream& bits) { return parser(bits, values); };
    };
    struct Row {
        const char* name;
        Bytes bytes;
        Parser parser;
        std::vector<std::uint32_t> expected;
    };
    SequenceScalableExtensionParams spatial;
    spatial.scalableMode = 1;
    SequenceScalableExtensionParams temporal;
    temporal.scalableMode = 3;
    SequenceScalableExtensionParams snr;
    snr.scalableMode = 2;
    const Row rows[] = {
        {"scalable spatial",
         SequenceScalableExtensionBytes(spatial),
         parse(ParseSequenceScalableExtension),
         {0xB5, 5, 1, 1, 352, 1, 288, 1, 2, 1, 2}},
        {"scalable temporal",
         SequenceScalableExtensionBytes(temporal),
         parse(ParseSequenceScalableExtension),
         {0xB5, 5, 3, 1, 1, 0, 1, 2}},
        {"scalable snr",
         SequenceScalableExtensionBytes(snr),
         parse(ParseSequenceScalableExtension),
         {0xB5, 5, 2, 1}},
        {"quant matrix",
         QuantMatrixExtensionBytes(true, false, true, true),
         parse(ParseQuantMatrixExtension),
         {0xB5, 3, 1, 0, 1, 1}},
        {"spatial scalable picture",
         PictureSpatialScalableExtensionBytes(),
         parse(ParsePictureSpatialScalableExtension),
         {0xB5, 9, 5, 16, 8, 2, 1, 0}},
        {"temporal scalable picture",
         PictureTemporalScalableExtensionBytes(),
         parse(ParsePictureTemporalScalableExtension),
         {0xB5, 10, 1, 3, 4}},
        {"picture display, 3 offsets",
         PictureDisplayExtensionBytes(3),
         [&values](TBitStream& bits) { return ParsePictureDisplayExtension(bits, 3, values); },
         {0xB5, 7, 0x100, 0x80, 0x101, 0x81, 0x102, 0x82}},
    };
    for (const Row& row : rows) {
        const ParseResult result = ParseAndFindNext(row.bytes, row.parser);
        EXPECT_TRUE(result.complete) << row.name;
        EXPECT_TRUE(result.nextCodeFound) << row.name;
        EXPECT_EQ(result.nextCodePosition, static_cast<std::int64_t>(row.bytes.size())) << row.name;
        EXPECT_EQ(values, row.expected) << row.name;
    }
}

TEST(HeaderParsers, AHeaderCutAnywhereIsIncomplete) {
    std::vector<std::uint32_t> values;
    SequenceHeaderParams withMatrix;
    withMatrix.intraMatrix = std::array<std::uint8_t, 64>{};
    PictureCodingParams composite;
    composite.compositeDisplay = true;
    PictureParams bPicture;
    bPicture.codingType = 3;
    bPicture.extraInformation = {0x42};
    const std::vector<std::pair<Bytes, Parser>> headers = {
        {SequenceHeaderBytes(withMatrix), ParserOf<SequenceHeader>()},
        {SequenceExtensionBytes({}), ParserOf<SequenceExtension>()},
        {SequenceDisplayExtensionBytes({}), ParserOf<SequenceDisplayExtension>()},
        {GOPHeaderBytes({}), ParserOf<GOPHeader>()},
        {PictureHeaderBytes(bPicture), ParserOf<PictureHeader>()},
        {PictureCodingExtensionBytes(composite), ParserOf<PictureCodingExtension>()},
        {QuantMatrixExtensionBytes(true, true, false, false),
         [&](TBitStream& b) { return ParseQuantMatrixExtension(b, values); }},
        {PictureTemporalScalableExtensionBytes(),
         [&](TBitStream& b) { return ParsePictureTemporalScalableExtension(b, values); }},
    };
    for (std::size_t h = 0; h < headers.size(); ++h) {
        const auto& [bytes, parser] = headers[h];
        EXPECT_TRUE(ParseAndFindNext(bytes, parser, false).complete) << "header " << h;
        for (std::size_t cut = 4; cut < bytes.size(); ++cut) {
            const Bytes shortened(bytes.begin(), bytes.begin() + static_cast<long>(cut));
            EXPECT_FALSE(ParseAndFindNext(shortened, parser, false).complete)
                << "header " << h << " cut to " << cut;
        }
    }
}

TEST(Line21UserData, ByteFiveAndTheFieldMarkers) {
    struct Row {
        std::vector<std::uint8_t> bytes;
        bool switch1, switch2;
    };
    const auto cc = [](std::uint8_t b5, std::uint8_t b6, std::uint8_t b9) {
        return std::vector<std::uint8_t>{0x43, 0x43, 0x01, 0xF8, b5, b6, 0x94, 0x20, b9, 0x80};
    };
    const Row rows[] = {
        {cc(0x0A, 0xFF, 0xFE), false, true},  // field 2 marker at byte 6 with b5 below 128
        {cc(0x8A, 0xFF, 0xFE), true, false},
        {cc(0x0A, 0xFE, 0xFF), true, false},  // the marker at byte 9 swaps the fields
        {cc(0x8A, 0xFE, 0xFF), false, true},
        {cc(0x0A, 0xFF, 0xFF), true, true},
        {cc(0x01, 0xFF, 0xFF), false, true},   // b5 = 1: second field only
        {cc(0x81, 0xFE, 0xFF), true, false},   // b5 = 129: first field only
        {cc(0x80, 0xFF, 0xFF), false, false},  // b5 = 128 switches nothing
        {cc(0x00, 0xFF, 0xFF), false, false},
        {cc(0x8A, 0xFE, 0xFE), false, false},
        {{0x43, 0x43, 0x01, 0xF8, 0x8A}, false, false},             // too short for byte 6
        {{0x43, 0x43, 0x01, 0xF8, 0x8A, 0xFF, 0x94}, true, false},  // byte 6 only
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        bool switch1 = false;
        bool switch2 = false;
        TestLine21UserData(rows[i].bytes, switch1, switch2);
        EXPECT_EQ(switch1, rows[i].switch1) << "row " << i;
        EXPECT_EQ(switch2, rows[i].switch2) << "row " << i;
    }
}

}  // namespace
}  // namespace varnix
