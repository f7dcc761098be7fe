#pragma once
// The headers of an MPEG-1/MPEG-2 video elementary stream as records of 32-bit values, one per
// syntax element in stream order (the same values make the entries of the info cache), and
// their parsers. A parser starts on the start code value (after 00 00 01), takes it as its own
// without checking it, and stops after its last field; finding the next start code is the
// caller's. Each returns false when the data ended inside the header.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/bitstream.h"

namespace varnix {

namespace start_code {
inline constexpr std::uint32_t kPicture = 0x00;
inline constexpr std::uint32_t kSliceFirst = 0x01;
inline constexpr std::uint32_t kSliceLast = 0xAF;
inline constexpr std::uint32_t kUserData = 0xB2;
inline constexpr std::uint32_t kSequenceHeader = 0xB3;
inline constexpr std::uint32_t kExtension = 0xB5;
inline constexpr std::uint32_t kSequenceEnd = 0xB7;
inline constexpr std::uint32_t kGOP = 0xB8;
inline constexpr std::uint32_t kSystemFirst = 0xB9;
// No start code: the data has ended.
inline constexpr std::uint32_t kNone = 0x100;
}  // namespace start_code

namespace extension_id {
inline constexpr std::uint32_t kSequence = 1;
inline constexpr std::uint32_t kSequenceDisplay = 2;
inline constexpr std::uint32_t kQuantMatrix = 3;
inline constexpr std::uint32_t kSequenceScalable = 5;
inline constexpr std::uint32_t kPictureDisplay = 7;
inline constexpr std::uint32_t kPictureCoding = 8;
inline constexpr std::uint32_t kPictureSpatialScalable = 9;
inline constexpr std::uint32_t kPictureTemporalScalable = 10;
}  // namespace extension_id

// Tags of the header entries. Those of the main headers are also the tags of the cache file;
// the others only ever appear in the in-memory table.
namespace entry_tag {
inline constexpr std::uint16_t kSameSequenceHeader = 14;
inline constexpr std::uint16_t kSameSequenceExtension = 15;
inline constexpr std::uint16_t kUserData = 178;
inline constexpr std::uint16_t kSequenceHeader = 179;
inline constexpr std::uint16_t kSequenceEnd = 183;
inline constexpr std::uint16_t kGOP = 184;
inline constexpr std::uint16_t kUnformattedData = 185;
inline constexpr std::uint16_t kSequenceExtension = 194;
inline constexpr std::uint16_t kSequenceDisplayExtension = 195;
inline constexpr std::uint16_t kQuantMatrixExtension = 196;
inline constexpr std::uint16_t kSequenceScalableExtension = 198;
inline constexpr std::uint16_t kPictureDisplayExtension = 200;
inline constexpr std::uint16_t kPictureCodingExtension = 201;
inline constexpr std::uint16_t kPictureSpatialScalableExtension = 202;
inline constexpr std::uint16_t kPictureHeader = 203;
inline constexpr std::uint16_t kPictureTemporalScalableExtension = 204;
inline constexpr std::uint16_t kEnd = 209;
}  // namespace entry_tag

struct SequenceHeader {
    static constexpr std::size_t kValues = 13;
    std::uint32_t startCode = 0;
    std::uint32_t horizontalSize = 0;
    std::uint32_t verticalSize = 0;
    std::uint32_t aspectRatio = 0;
    std::uint32_t frameRateCode = 0;
    std::uint32_t bitRateValue = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t vbvBufferSize = 0;
    std::uint32_t constrainedParameters = 0;
    std::uint32_t loadIntraQuantiserMatrix = 0;
    std::uint32_t loadNonIntraQuantiserMatrix = 0;
    std::uint64_t number = 0;  // counting from 1 in the stream

    std::array<std::uint32_t, kValues> Values() const;
    static SequenceHeader FromValues(std::span<const std::uint32_t> values);
};

struct SequenceExtension {
    static constexpr std::size_t kValues = 13;
    std::uint32_t startCode = 0;
    std::uint32_t identifier = 0;
    std::uint32_t profileAndLevel = 0;
    std::uint32_t progressiveSequence = 0;
    std::uint32_t chromaFormat = 0;
    std::uint32_t horizontalSizeExtension = 0;
    std::uint32_t verticalSizeExtension = 0;
    std::uint32_t bitRateExtension = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t vbvBufferSizeExtension = 0;
    std::uint32_t lowDelay = 0;
    std::uint32_t frameRateExtensionN = 0;
    std::uint32_t frameRateExtensionD = 0;

    std::array<std::uint32_t, kValues> Values() const;
    static SequenceExtension FromValues(std::span<const std::uint32_t> values);
};

struct SequenceDisplayExtension {
    static constexpr std::size_t kValues = 9;
    std::uint32_t identifier = 0;
    std::uint32_t videoFormat = 0;
    std::uint32_t colourDescription = 0;
    std::uint32_t colourPrimaries = 0;  // the three colour values are 0 without a description
    std::uint32_t transferCharacteristics = 0;
    std::uint32_t matrixCoefficients = 0;
    std::uint32_t displayHorizontalSize = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t displayVerticalSize = 0;

    std::array<std::uint32_t, kValues> Values() const;
    static SequenceDisplayExtension FromValues(std::span<const std::uint32_t> values);
};

struct GOPHeader {
    static constexpr std::size_t kValues = 10;
    std::uint32_t startCode = 0;
    std::uint32_t dropFrame = 0;
    std::uint32_t hours = 0;
    std::uint32_t minutes = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t seconds = 0;
    std::uint32_t pictures = 0;
    std::uint32_t closedGOP = 0;
    std::uint32_t brokenLink = 0;
    std::uint32_t number = 0;  // counting from 1 in the stream

    std::array<std::uint32_t, kValues> Values() const;
    static GOPHeader FromValues(std::span<const std::uint32_t> values);
};

struct PictureHeader {
    static constexpr std::size_t kValues = 13;
    std::uint32_t startCode = 0;
    std::uint32_t temporalReference = 0;
    std::uint32_t codingType = 0;  // 1 I, 2 P, 3 B
    std::uint32_t vbvDelay = 0;
    std::uint32_t fullPelForwardVector = 0;
    std::uint32_t forwardFCode = 0;
    std::uint32_t fullPelBackwardVector = 0;
    std::uint32_t backwardFCode = 0;
    std::uint32_t extraBitPicture = 0;
    std::uint32_t extraInformation = 0;  // the last extra_information_picture byte
    std::uint32_t displayPosition = 0;   // temporal reference + pictures before the GOP
    // I pictures: the sequence header before them; others: their own start code.
    std::uint64_t filePosition = 0;

    std::array<std::uint32_t, kValues> Values() const;
    static PictureHeader FromValues(std::span<const std::uint32_t> values);
};

struct PictureCodingExtension {
    static constexpr std::size_t kValues = 20;
    std::uint32_t startCode = 0;
    std::uint32_t identifier = 0;
    // Forward horizontal in the lowest byte, then forward vertical, backward horizontal,
    // backward vertical.
    std::uint32_t fCodes = 0;
    std::uint32_t intraDcPrecision = 0;
    std::uint32_t pictureStructure = 0;  // 1 top field, 2 bottom field, 3 frame
    std::uint32_t topFieldFirst = 0;
    std::uint32_t framePredFrameDct = 0;
    std::uint32_t concealmentMotionVectors = 0;
    std::uint32_t qScaleType = 0;
    std::uint32_t intraVlcFormat = 0;
    std::uint32_t alternateScan = 0;
    std::uint32_t repeatFirstField = 0;
    std::uint32_t chroma420Type = 0;
    std::uint32_t progressiveFrame = 0;
    std::uint32_t compositeDisplay = 0;
    std::uint32_t vAxis = 0;  // this and the next four are 0 without composite display
    std::uint32_t fieldSequence = 0;
    std::uint32_t subCarrier = 0;
    std::uint32_t burstAmplitude = 0;
    std::uint32_t subCarrierPhase = 0;

    std::array<std::uint32_t, kValues> Values() const;
    static PictureCodingExtension FromValues(std::span<const std::uint32_t> values);
};

bool ParseSequenceHeader(TFileBitStream& bits, SequenceHeader& header);
bool ParseSequenceExtension(TFileBitStream& bits, SequenceExtension& extension);
bool ParseSequenceDisplayExtension(TFileBitStream& bits, SequenceDisplayExtension& extension);
bool ParseGOPHeader(TFileBitStream& bits, GOPHeader& header);
bool ParsePictureHeader(TFileBitStream& bits, PictureHeader& header);
bool ParsePictureCodingExtension(TFileBitStream& bits, PictureCodingExtension& extension);

// The extensions that the scan only steps over; their values go to the in-memory table.
bool ParseSequenceScalableExtension(TFileBitStream& bits, std::vector<std::uint32_t>& values);
bool ParseQuantMatrixExtension(TFileBitStream& bits, std::vector<std::uint32_t>& values);
// The number of frame centre offsets of a picture display extension.
int FrameCentreOffsets(std::uint32_t progressiveSequence, std::uint32_t pictureStructure,
                       std::uint32_t topFieldFirst, std::uint32_t repeatFirstField);
bool ParsePictureDisplayExtension(TFileBitStream& bits, int frameCentreOffsets,
                                  std::vector<std::uint32_t>& values);
bool ParsePictureSpatialScalableExtension(TFileBitStream& bits, std::vector<std::uint32_t>& values);
bool ParsePictureTemporalScalableExtension(TFileBitStream& bits,
                                           std::vector<std::uint32_t>& values);
// Reads a slice header (quantiser scale and the optional intra-slice bits) up to its data.
void SkipSliceHeader(TFileBitStream& bits, bool tallPicture);

// Closed-caption user data after a GOP header: its first bytes (up to 10) switch the Line21
// flags of the first and second field.
void TestLine21UserData(std::span<const std::uint8_t> firstBytes, bool& switch1, bool& switch2);

// The kind of stream that a system start code (B9..FF) announces.
std::string SystemStreamDescription(std::uint32_t code);

}  // namespace varnix
