#pragma once
// The headers of an MPEG-1/MPEG-2 video elementary stream as records of 32-bit values, one per
// syntax element in stream order (the same values make the entries of the info cache), and
// their parsers, all derived from one description of each record's fields.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/bitstream.h"
#include "video/header_fields.h"

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
    std::uint32_t startCode = 0;
    std::uint32_t horizontalSize = 0;
    std::uint32_t verticalSize = 0;
    std::uint32_t aspectRatio = 0;
    std::uint32_t frameRateCode = 0;
    std::uint32_t bitRateValue = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t vbvBufferSize = 0;
    std::uint32_t constrainedParameters = 0;
    std::uint32_t loadIntraQuantiserMatrix = 0;  // the matrices are read past, not kept
    std::uint32_t loadNonIntraQuantiserMatrix = 0;
    std::uint64_t number = 0;  // counting from 1 in the stream
};

template <>
struct HeaderLayout<SequenceHeader> {
    using R = SequenceHeader;
    static constexpr HeaderField<R> kFields[] = {
        Field("sequence_header_code", 8, &R::startCode),
        Field("horizontal_size_value", 12, &R::horizontalSize),
        Field("vertical_size_value", 12, &R::verticalSize),
        Field("aspect_ratio_information", 4, &R::aspectRatio),
        Field("frame_rate_code", 4, &R::frameRateCode),
        Field("bit_rate_value", 18, &R::bitRateValue),
        Field("marker_bit", 1, &R::markerBit),
        Field("vbv_buffer_size_value", 10, &R::vbvBufferSize),
        Field("constrained_parameters_flag", 1, &R::constrainedParameters),
        Field("load_intra_quantiser_matrix", 1, &R::loadIntraQuantiserMatrix).SkipWhenSet(64 * 8),
        Field("load_non_intra_quantiser_matrix", 1, &R::loadNonIntraQuantiserMatrix)
            .SkipWhenSet(64 * 8),
        WideField("sequence_header_number", &R::number),
    };
};

struct SequenceExtension {
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
};

template <>
struct HeaderLayout<SequenceExtension> {
    using R = SequenceExtension;
    static constexpr HeaderField<R> kFields[] = {
        Field("extension_start_code", 8, &R::startCode),
        Field("extension_start_code_identifier", 4, &R::identifier),
        Field("profile_and_level_indication", 8, &R::profileAndLevel),
        Field("progressive_sequence", 1, &R::progressiveSequence),
        Field("chroma_format", 2, &R::chromaFormat),
        Field("horizontal_size_extension", 2, &R::horizontalSizeExtension),
        Field("vertical_size_extension", 2, &R::verticalSizeExtension),
        Field("bit_rate_extension", 12, &R::bitRateExtension),
        Field("marker_bit", 1, &R::markerBit),
        Field("vbv_buffer_size_extension", 8, &R::vbvBufferSizeExtension),
        Field("low_delay", 1, &R::lowDelay),
        Field("frame_rate_extension_n", 2, &R::frameRateExtensionN),
        Field("frame_rate_extension_d", 5, &R::frameRateExtensionD),
    };
};

struct SequenceDisplayExtension {
    std::uint32_t identifier = 0;
    std::uint32_t videoFormat = 0;
    std::uint32_t colourDescription = 0;
    std::uint32_t colourPrimaries = 0;  // the three colour values are 0 without a description
    std::uint32_t transferCharacteristics = 0;
    std::uint32_t matrixCoefficients = 0;
    std::uint32_t displayHorizontalSize = 0;
    std::uint32_t markerBit = 0;
    std::uint32_t displayVerticalSize = 0;
};

template <>
struct HeaderLayout<SequenceDisplayExtension> {
    using R = SequenceDisplayExtension;
    static constexpr bool Coloured(const R& e) { return e.colourDescription != 0; }
    static constexpr HeaderField<R> kFields[] = {
        Unkept<R>("extension_start_code", 8),
        Field("extension_start_code_identifier", 4, &R::identifier),
        Field("video_format", 3, &R::videoFormat),
        Field("colour_description", 1, &R::colourDescription),
        Field("colour_primaries", 8, &R::colourPrimaries).When(Coloured),
        Field("transfer_characteristics", 8, &R::transferCharacteristics).When(Coloured),
        Field("matrix_coefficients", 8, &R::matrixCoefficients).When(Coloured),
        Field("display_horizontal_size", 14, &R::displayHorizontalSize),
        Field("marker_bit", 1, &R::markerBit),
        Field("display_vertical_size", 14, &R::displayVerticalSize),
    };
};

struct GOPHeader {
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
};

template <>
struct HeaderLayout<GOPHeader> {
    using R = GOPHeader;
    static constexpr HeaderField<R> kFields[] = {
        Field("group_start_code", 8, &R::startCode),  Field("drop_frame_flag", 1, &R::dropFrame),
        Field("time_code_hours", 5, &R::hours),       Field("time_code_minutes", 6, &R::minutes),
        Field("marker_bit", 1, &R::markerBit),        Field("time_code_seconds", 6, &R::seconds),
        Field("time_code_pictures", 6, &R::pictures), Field("closed_gop", 1, &R::closedGOP),
        Field("broken_link", 1, &R::brokenLink),      Field("gop_number", 0, &R::number),
    };
};

struct PictureHeader {
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
};

// The extra_information_picture bytes that each set extra_bit_picture announces (the last one
// is kept), then the final extra_bit_picture.
void ReadExtraInformation(TBitStream& bits, PictureHeader& header);

template <>
struct HeaderLayout<PictureHeader> {
    using R = PictureHeader;
    static constexpr bool Predicted(const R& h) { return h.codingType == 2 || h.codingType == 3; }
    static constexpr bool Bidirectional(const R& h) { return h.codingType == 3; }
    static constexpr HeaderField<R> kFields[] = {
        Field("picture_start_code", 8, &R::startCode),
        Field("temporal_reference", 10, &R::temporalReference),
        Field("picture_coding_type", 3, &R::codingType),
        Field("vbv_delay", 16, &R::vbvDelay),
        Field("full_pel_forward_vector", 1, &R::fullPelForwardVector).When(Predicted),
        Field("forward_f_code", 3, &R::forwardFCode).When(Predicted),
        Field("full_pel_backward_vector", 1, &R::fullPelBackwardVector).When(Bidirectional),
        Field("backward_f_code", 3, &R::backwardFCode).When(Bidirectional),
        Field("extra_bit_picture", 1, &R::extraBitPicture).ReadBy(ReadExtraInformation),
        Field("extra_information_picture", 0, &R::extraInformation),
        Field("display_position", 0, &R::displayPosition),
        WideField("file_position", &R::filePosition),
    };
};

struct PictureCodingExtension {
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
};

// The four 4-bit f_codes, each into a byte of its own.
void ReadFCodes(TBitStream& bits, PictureCodingExtension& extension);

template <>
struct HeaderLayout<PictureCodingExtension> {
    using R = PictureCodingExtension;
    static constexpr bool Composite(const R& e) { return e.compositeDisplay != 0; }
    static constexpr HeaderField<R> kFields[] = {
        Field("extension_start_code", 8, &R::startCode),
        Field("extension_start_code_identifier", 4, &R::identifier),
        Field("f_code", 16, &R::fCodes).ReadBy(ReadFCodes),
        Field("intra_dc_precision", 2, &R::intraDcPrecision),
        Field("picture_structure", 2, &R::pictureStructure),
        Field("top_field_first", 1, &R::topFieldFirst),
        Field("frame_pred_frame_dct", 1, &R::framePredFrameDct),
        Field("concealment_motion_vectors", 1, &R::concealmentMotionVectors),
        Field("q_scale_type", 1, &R::qScaleType),
        Field("intra_vlc_format", 1, &R::intraVlcFormat),
        Field("alternate_scan", 1, &R::alternateScan),
        Field("repeat_first_field", 1, &R::repeatFirstField),
        Field("chroma_420_type", 1, &R::chroma420Type),
        Field("progressive_frame", 1, &R::progressiveFrame),
        Field("composite_display_flag", 1, &R::compositeDisplay),
        Field("v_axis", 1, &R::vAxis).When(Composite),
        Field("field_sequence", 3, &R::fieldSequence).When(Composite),
        Field("sub_carrier", 1, &R::subCarrier).When(Composite),
        Field("burst_amplitude", 7, &R::burstAmplitude).When(Composite),
        Field("sub_carrier_phase", 8, &R::subCarrierPhase).When(Composite),
    };
};

// The entry of a sequence end: the running number of sequence ends, from 1.
struct SequenceEndRecord {
    std::uint32_t number = 0;
};

template <>
struct HeaderLayout<SequenceEndRecord> {
    using R = SequenceEndRecord;
    static constexpr HeaderField<R> kFields[] = {Field("sequence_end_number", 0, &R::number)};
};

// The entry of data that the scan does not parse (user data, a system start code and what
// follows it): where it starts and how many bytes it holds.
struct UnparsedData {
    std::uint32_t startCode = 0;
    std::uint64_t position = 0;
    std::uint64_t length = 0;
};

template <>
struct HeaderLayout<UnparsedData> {
    using R = UnparsedData;
    static constexpr HeaderField<R> kFields[] = {
        Field("start_code", 0, &R::startCode),
        WideField("file_position", &R::position),
        WideField("length", &R::length),
    };
};

// The extensions that the scan only steps over; their values go to the in-memory table.
bool ParseSequenceScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values);
bool ParseQuantMatrixExtension(TBitStream& bits, std::vector<std::uint32_t>& values);
// The number of frame centre offsets of a picture display extension.
int FrameCentreOffsets(std::uint32_t progressiveSequence, std::uint32_t pictureStructure,
                       std::uint32_t topFieldFirst, std::uint32_t repeatFirstField);
bool ParsePictureDisplayExtension(TBitStream& bits, int frameCentreOffsets,
                                  std::vector<std::uint32_t>& values);
bool ParsePictureSpatialScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values);
bool ParsePictureTemporalScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values);
// Reads a slice header (quantiser scale and the optional intra-slice bits) up to its data.
void SkipSliceHeader(TBitStream& bits, bool tallPicture);

// Closed-caption user data after a GOP header: its first bytes (up to 10) switch the Line21
// flags of the first and second field.
void TestLine21UserData(std::span<const std::uint8_t> firstBytes, bool& switch1, bool& switch2);

// The kind of stream that a system start code (B9..FF) announces.
std::string SystemStreamDescription(std::uint32_t code);

}  // namespace varnix
