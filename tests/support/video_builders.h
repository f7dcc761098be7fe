#pragma once
// Builders of MPEG-1/MPEG-2 video byte streams for tests: every header from its parameters,
// slices with filler that never holds a start code, and a composer that makes a whole stream
// from a list of pictures.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnix::test {

using Bytes = std::vector<std::uint8_t>;

struct SequenceHeaderParams {
    std::uint32_t width = 720;
    std::uint32_t height = 576;
    std::uint32_t aspectRatio = 2;       // 4:3
    std::uint32_t frameRateCode = 3;     // 25
    std::uint32_t bitRateValue = 20000;  // x 400 = 8 Mbit/s
    std::uint32_t markerBit = 1;
    std::uint32_t vbvBufferSize = 112;
    std::uint32_t constrainedParameters = 0;
    std::optional<std::array<std::uint8_t, 64>> intraMatrix;
    std::optional<std::array<std::uint8_t, 64>> nonIntraMatrix;
};

struct SequenceExtensionParams {
    std::uint32_t profileAndLevel = 0x48;  // main profile, main level
    std::uint32_t progressiveSequence = 0;
    std::uint32_t chromaFormat = 1;  // 4:2:0
    std::uint32_t horizontalSizeExtension = 0;
    std::uint32_t verticalSizeExtension = 0;
    std::uint32_t bitRateExtension = 0;
    std::uint32_t markerBit = 1;
    std::uint32_t vbvBufferSizeExtension = 0;
    std::uint32_t lowDelay = 0;
    std::uint32_t frameRateExtensionN = 0;
    std::uint32_t frameRateExtensionD = 0;
};

struct SequenceDisplayExtensionParams {
    std::uint32_t videoFormat = 1;  // PAL
    bool colourDescription = false;
    std::uint32_t colourPrimaries = 5;
    std::uint32_t transferCharacteristics = 5;
    std::uint32_t matrixCoefficients = 5;
    std::uint32_t displayWidth = 720;
    std::uint32_t displayHeight = 576;
};

struct SequenceScalableExtensionParams {
    std::uint32_t scalableMode = 2;  // 0 data partitioning, 1 spatial, 2 SNR, 3 temporal
    std::uint32_t layerId = 1;
    // Spatial scalability.
    std::uint32_t lowerLayerWidth = 352;
    std::uint32_t lowerLayerHeight = 288;
    std::uint32_t horizontalM = 1, horizontalN = 2, verticalM = 1, verticalN = 2;
    // Temporal scalability.
    bool pictureMuxEnable = true;
    std::uint32_t muxToProgressive = 0;
    std::uint32_t pictureMuxOrder = 1;
    std::uint32_t pictureMuxFactor = 2;
};

struct GOPParams {
    std::uint32_t dropFrame = 0;
    std::uint32_t hours = 0;
    std::uint32_t minutes = 0;
    std::uint32_t seconds = 0;
    std::uint32_t pictures = 0;
    std::uint32_t closedGOP = 1;
    std::uint32_t brokenLink = 0;
};

struct PictureParams {
    std::uint32_t temporalReference = 0;
    std::uint32_t codingType = 1;  // 1 I, 2 P, 3 B
    std::uint32_t vbvDelay = 0xFFFF;
    std::uint32_t fullPelForwardVector = 0;
    std::uint32_t forwardFCode = 7;
    std::uint32_t fullPelBackwardVector = 0;
    std::uint32_t backwardFCode = 7;
    std::vector<std::uint8_t> extraInformation;  // extra_information_picture bytes
};

struct PictureCodingParams {
    std::array<std::uint32_t, 4> fCodes = {15, 15, 15, 15};  // fwd h, fwd v, bwd h, bwd v
    std::uint32_t intraDcPrecision = 0;
    std::uint32_t pictureStructure = 3;  // 1 top field, 2 bottom field, 3 frame
    std::uint32_t topFieldFirst = 0;
    std::uint32_t framePredFrameDct = 1;
    std::uint32_t concealmentMotionVectors = 0;
    std::uint32_t qScaleType = 0;
    std::uint32_t intraVlcFormat = 0;
    std::uint32_t alternateScan = 0;
    std::uint32_t repeatFirstField = 0;
    std::uint32_t chroma420Type = 1;
    std::uint32_t progressiveFrame = 1;
    bool compositeDisplay = false;
    std::uint32_t vAxis = 1;
    std::uint32_t fieldSequence = 5;
    std::uint32_t subCarrier = 1;
    std::uint32_t burstAmplitude = 0x55;
    std::uint32_t subCarrierPhase = 0xA3;
};

Bytes SequenceHeaderBytes(const SequenceHeaderParams& p);
Bytes SequenceExtensionBytes(const SequenceExtensionParams& p);
Bytes SequenceDisplayExtensionBytes(const SequenceDisplayExtensionParams& p);
Bytes SequenceScalableExtensionBytes(const SequenceScalableExtensionParams& p);
Bytes GOPHeaderBytes(const GOPParams& p);
Bytes PictureHeaderBytes(const PictureParams& p);
Bytes PictureCodingExtensionBytes(const PictureCodingParams& p);
// Each flag loads one matrix (intra, non-intra, chroma intra, chroma non-intra).
Bytes QuantMatrixExtensionBytes(bool intra, bool nonIntra, bool chromaIntra, bool chromaNonIntra);
Bytes PictureDisplayExtensionBytes(int frameCentreOffsets);
Bytes PictureSpatialScalableExtensionBytes();
Bytes PictureTemporalScalableExtensionBytes();
// An extension start code with an identifier and payload bytes of our choosing.
Bytes ExtensionBytes(std::uint32_t identifier, const Bytes& payload);
Bytes UserDataBytes(const Bytes& payload);
// DVD closed-caption user data: "CC", 01, F8, then byte 5 (field flags and count), byte 6 (the
// first marker), two caption bytes, byte 9 (the second marker), two caption bytes.
Bytes Line21UserDataBytes(std::uint8_t byte5, std::uint8_t byte6, std::uint8_t byte9);
// A slice of `payloadBytes` filler bytes after its header; the filler holds no 00 00 and
// does not end in 00.
Bytes SliceBytes(std::uint32_t verticalPosition, std::size_t payloadBytes, std::uint32_t seed,
                 bool tallPicture = false);
Bytes SequenceEndBytes();
// Any start code with payload bytes (system codes B9..FF, or garbage).
Bytes StartCodeBytes(std::uint32_t code, const Bytes& payload);
// An MPEG-2 program stream pack header.
Bytes PackHeaderBytes();

// Appends headers one after another.
class VideoStreamBuilder {
  public:
    VideoStreamBuilder& Add(const Bytes& bytes);
    VideoStreamBuilder& Sequence(const SequenceHeaderParams& header,
                                 const std::optional<SequenceExtensionParams>& extension);
    VideoStreamBuilder& GOP(const GOPParams& gop);
    // A picture header, its coding extension when given, and `slices` slices.
    VideoStreamBuilder& Picture(const PictureParams& picture,
                                const std::optional<PictureCodingParams>& coding, int slices = 2,
                                std::size_t sliceBytes = 24);
    VideoStreamBuilder& SequenceEnd();
    const varnix::test::Bytes& Result() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t seed_ = 1;
};

// One picture of a composed stream.
struct StreamPicture {
    PictureParams header;
    std::optional<PictureCodingParams> coding;  // required for MPEG-2
    bool startsGOP = false;
    Bytes extensions;  // extensions and user data after the picture's coding extension
};

struct StreamLayout {
    SequenceHeaderParams sequence;
    std::optional<SequenceExtensionParams> extension;  // an MPEG-2 stream when set
    std::optional<SequenceDisplayExtensionParams> display;
    bool sequenceHeaderEveryGOP = true;
    bool sequenceEnd = true;
    int slicesPerPicture = 2;
    std::size_t sliceBytes = 24;
    std::uint32_t framesPerSecond = 25;  // for the GOP time codes
    Bytes gopUserData;                   // user data after every GOP header
};

Bytes BuildVideoStream(const StreamLayout& layout, const std::vector<StreamPicture>& pictures);

// `count` frame pictures in coded order, in closed GOPs of `gopLength` displayed frames
// (I, then P every third frame with two B before it, the GOP's last frame a P).
std::vector<StreamPicture> FramePictures(int count, int gopLength,
                                         const std::optional<PictureCodingParams>& coding);
// The same frames coded as pairs of field pictures (top field first).
std::vector<StreamPicture> FieldPictures(int frames, int gopLength);
// MPEG-2 frame pictures with 3:2 pull-down: repeat_first_field on every other picture and
// top_field_first following the field cadence, as a telecine of 24 fps material.
std::vector<StreamPicture> PullDownPictures(int count, int gopLength);

}  // namespace varnix::test
