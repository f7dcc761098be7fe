#include "support/video_builders.h"

#include "support/video_bit_writer.h"

namespace varnix::test {

namespace {

void StartCode(VideoBitWriter& w, std::uint32_t code) {
    w.Align();
    w.Put(0x000001, 24);
    w.Put(code, 8);
}

// Ends a header: zero bits up to the byte boundary, as next_start_code() allows.
Bytes Finish(VideoBitWriter& w) {
    w.Align();
    return w.Bytes();
}

void PutMatrix(VideoBitWriter& w, std::uint32_t first) {
    for (std::uint32_t i = 0; i < 64; ++i) {
        w.Put(first + i, 8);
    }
}

}  // namespace

Bytes SequenceHeaderBytes(const SequenceHeaderParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB3);
    w.Put(p.width, 12);
    w.Put(p.height, 12);
    w.Put(p.aspectRatio, 4);
    w.Put(p.frameRateCode, 4);
    w.Put(p.bitRateValue, 18);
    w.Put(p.markerBit, 1);
    w.Put(p.vbvBufferSize, 10);
    w.Put(p.constrainedParameters, 1);
    w.Put(p.intraMatrix ? 1 : 0, 1);
    if (p.intraMatrix) {
        for (std::uint8_t v : *p.intraMatrix) {
            w.Put(v, 8);
        }
    }
    w.Put(p.nonIntraMatrix ? 1 : 0, 1);
    if (p.nonIntraMatrix) {
        for (std::uint8_t v : *p.nonIntraMatrix) {
            w.Put(v, 8);
        }
    }
    return Finish(w);
}

Bytes SequenceExtensionBytes(const SequenceExtensionParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(1, 4);
    w.Put(p.profileAndLevel, 8);
    w.Put(p.progressiveSequence, 1);
    w.Put(p.chromaFormat, 2);
    w.Put(p.horizontalSizeExtension, 2);
    w.Put(p.verticalSizeExtension, 2);
    w.Put(p.bitRateExtension, 12);
    w.Put(p.markerBit, 1);
    w.Put(p.vbvBufferSizeExtension, 8);
    w.Put(p.lowDelay, 1);
    w.Put(p.frameRateExtensionN, 2);
    w.Put(p.frameRateExtensionD, 5);
    return Finish(w);
}

Bytes SequenceDisplayExtensionBytes(const SequenceDisplayExtensionParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(2, 4);
    w.Put(p.videoFormat, 3);
    w.Put(p.colourDescription ? 1 : 0, 1);
    if (p.colourDescription) {
        w.Put(p.colourPrimaries, 8);
        w.Put(p.transferCharacteristics, 8);
        w.Put(p.matrixCoefficients, 8);
    }
    w.Put(p.displayWidth, 14);
    w.Put(1, 1);
    w.Put(p.displayHeight, 14);
    return Finish(w);
}

Bytes SequenceScalableExtensionBytes(const SequenceScalableExtensionParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(5, 4);
    w.Put(p.scalableMode, 2);
    w.Put(p.layerId, 4);
    if (p.scalableMode == 1) {
        w.Put(p.lowerLayerWidth, 14);
        w.Put(1, 1);
        w.Put(p.lowerLayerHeight, 14);
        w.Put(p.horizontalM, 5);
        w.Put(p.horizontalN, 5);
        w.Put(p.verticalM, 5);
        w.Put(p.verticalN, 5);
    } else if (p.scalableMode == 3) {
        w.Put(p.pictureMuxEnable ? 1 : 0, 1);
        if (p.pictureMuxEnable) {
            w.Put(p.muxToProgressive, 1);
        }
        w.Put(p.pictureMuxOrder, 3);
        w.Put(p.pictureMuxFactor, 3);
    }
    return Finish(w);
}

Bytes GOPHeaderBytes(const GOPParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB8);
    w.Put(p.dropFrame, 1);
    w.Put(p.hours, 5);
    w.Put(p.minutes, 6);
    w.Put(1, 1);
    w.Put(p.seconds, 6);
    w.Put(p.pictures, 6);
    w.Put(p.closedGOP, 1);
    w.Put(p.brokenLink, 1);
    return Finish(w);
}

Bytes PictureHeaderBytes(const PictureParams& p) {
    VideoBitWriter w;
    StartCode(w, 0x00);
    w.Put(p.temporalReference, 10);
    w.Put(p.codingType, 3);
    w.Put(p.vbvDelay, 16);
    if (p.codingType == 2 || p.codingType == 3) {
        w.Put(p.fullPelForwardVector, 1);
        w.Put(p.forwardFCode, 3);
    }
    if (p.codingType == 3) {
        w.Put(p.fullPelBackwardVector, 1);
        w.Put(p.backwardFCode, 3);
    }
    for (std::uint8_t extra : p.extraInformation) {
        w.Put(1, 1);
        w.Put(extra, 8);
    }
    w.Put(0, 1);
    return Finish(w);
}

Bytes PictureCodingExtensionBytes(const PictureCodingParams& p) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(8, 4);
    for (std::uint32_t f : p.fCodes) {
        w.Put(f, 4);
    }
    w.Put(p.intraDcPrecision, 2);
    w.Put(p.pictureStructure, 2);
    w.Put(p.topFieldFirst, 1);
    w.Put(p.framePredFrameDct, 1);
    w.Put(p.concealmentMotionVectors, 1);
    w.Put(p.qScaleType, 1);
    w.Put(p.intraVlcFormat, 1);
    w.Put(p.alternateScan, 1);
    w.Put(p.repeatFirstField, 1);
    w.Put(p.chroma420Type, 1);
    w.Put(p.progressiveFrame, 1);
    w.Put(p.compositeDisplay ? 1 : 0, 1);
    if (p.compositeDisplay) {
        w.Put(p.vAxis, 1);
        w.Put(p.fieldSequence, 3);
        w.Put(p.subCarrier, 1);
        w.Put(p.burstAmplitude, 7);
        w.Put(p.subCarrierPhase, 8);
    }
    return Finish(w);
}

Bytes QuantMatrixExtensionBytes(bool intra, bool nonIntra, bool chromaIntra, bool chromaNonIntra) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(3, 4);
    std::uint32_t first = 8;
    for (bool load : {intra, nonIntra, chromaIntra, chromaNonIntra}) {
        w.Put(load ? 1 : 0, 1);
        if (load) {
            PutMatrix(w, first);
            first += 3;
        }
    }
    return Finish(w);
}

Bytes PictureDisplayExtensionBytes(int frameCentreOffsets) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(7, 4);
    for (int i = 0; i < frameCentreOffsets; ++i) {
        w.Put(0x0100 + static_cast<std::uint32_t>(i), 16);
        w.Put(1, 1);
        w.Put(0x0080 + static_cast<std::uint32_t>(i), 16);
        w.Put(1, 1);
    }
    return Finish(w);
}

Bytes PictureSpatialScalableExtensionBytes() {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(9, 4);
    w.Put(5, 10);
    w.Put(1, 1);
    w.Put(16, 15);
    w.Put(1, 1);
    w.Put(8, 15);
    w.Put(2, 2);
    w.Put(1, 1);
    w.Put(0, 1);
    return Finish(w);
}

Bytes PictureTemporalScalableExtensionBytes() {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(10, 4);
    w.Put(1, 2);
    w.Put(3, 10);
    w.Put(1, 1);
    w.Put(4, 10);
    return Finish(w);
}

Bytes ExtensionBytes(std::uint32_t identifier, const Bytes& payload) {
    VideoBitWriter w;
    StartCode(w, 0xB5);
    w.Put(identifier, 4);
    w.Put(0xF, 4);
    w.PutBytes(payload);
    return Finish(w);
}

Bytes UserDataBytes(const Bytes& payload) {
    return StartCodeBytes(0xB2, payload);
}

Bytes Line21UserDataBytes(std::uint8_t byte5, std::uint8_t byte6, std::uint8_t byte9) {
    return UserDataBytes({0x43, 0x43, 0x01, 0xF8, byte5, byte6, 0x94, 0x20, byte9, 0x80, 0x80});
}

Bytes SliceBytes(std::uint32_t verticalPosition, std::size_t payloadBytes, std::uint32_t seed,
                 bool tallPicture) {
    VideoBitWriter w;
    StartCode(w, verticalPosition);
    if (tallPicture) {
        w.Put(0, 3);
    }
    w.Put(8, 5);  // quantiser_scale_code
    w.Put(0, 1);  // extra_bit_slice
    while (!w.Aligned()) {
        w.Put(1, 1);
    }
    Bytes bytes = w.Bytes();
    std::uint32_t state = seed * 2654435761u + 12345u;
    std::uint8_t previous = bytes.back();
    for (std::size_t i = 0; i < payloadBytes; ++i) {
        state = state * 1103515245u + 12345u;
        auto b = static_cast<std::uint8_t>(state >> 16);
        if (b == 0 && (previous == 0 || i + 1 == payloadBytes)) {
            b = 0x5A;
        }
        bytes.push_back(b);
        previous = b;
    }
    return bytes;
}

Bytes SequenceEndBytes() {
    return StartCodeBytes(0xB7, {});
}

Bytes StartCodeBytes(std::uint32_t code, const Bytes& payload) {
    Bytes bytes;
    bytes.reserve(4 + payload.size());
    for (std::uint8_t b : {std::uint8_t{0x00}, std::uint8_t{0x00}, std::uint8_t{0x01},
                           static_cast<std::uint8_t>(code)}) {
        bytes.push_back(b);
    }
    for (std::uint8_t b : payload) {
        bytes.push_back(b);
    }
    return bytes;
}

Bytes PackHeaderBytes() {
    return StartCodeBytes(0xBA, {0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8});
}

VideoStreamBuilder& VideoStreamBuilder::Add(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

VideoStreamBuilder& VideoStreamBuilder::Sequence(
    const SequenceHeaderParams& header, const std::optional<SequenceExtensionParams>& extension) {
    Add(SequenceHeaderBytes(header));
    if (extension) {
        Add(SequenceExtensionBytes(*extension));
    }
    return *this;
}

VideoStreamBuilder& VideoStreamBuilder::GOP(const GOPParams& gop) {
    return Add(GOPHeaderBytes(gop));
}

VideoStreamBuilder& VideoStreamBuilder::Picture(const PictureParams& picture,
                                                const std::optional<PictureCodingParams>& coding,
                                                int slices, std::size_t sliceBytes) {
    Add(PictureHeaderBytes(picture));
    if (coding) {
        Add(PictureCodingExtensionBytes(*coding));
    }
    for (int s = 1; s <= slices; ++s) {
        Add(SliceBytes(static_cast<std::uint32_t>(s), sliceBytes, seed_++));
    }
    return *this;
}

VideoStreamBuilder& VideoStreamBuilder::SequenceEnd() {
    return Add(SequenceEndBytes());
}

Bytes BuildVideoStream(const StreamLayout& layout, const std::vector<StreamPicture>& pictures) {
    VideoStreamBuilder builder;
    const auto header = [&] {
        builder.Sequence(layout.sequence, layout.extension);
        if (layout.display) {
            builder.Add(SequenceDisplayExtensionBytes(*layout.display));
        }
    };
    header();
    std::uint32_t framesBefore = 0;
    bool first = true;
    for (const StreamPicture& picture : pictures) {
        if (picture.startsGOP) {
            if (!first && layout.sequenceHeaderEveryGOP) {
                header();
            }
            GOPParams gop;
            const std::uint32_t fps = layout.framesPerSecond;
            gop.hours = framesBefore / (3600 * fps);
            gop.minutes = (framesBefore / (60 * fps)) % 60;
            gop.seconds = (framesBefore / fps) % 60;
            gop.pictures = framesBefore % fps;
            builder.GOP(gop);
            if (!layout.gopUserData.empty()) {
                builder.Add(layout.gopUserData);
            }
        }
        first = false;
        builder.Add(PictureHeaderBytes(picture.header));
        if (picture.coding) {
            builder.Add(PictureCodingExtensionBytes(*picture.coding));
        }
        builder.Add(picture.extensions);
        const bool tall = layout.sequence.height > 2800;
        for (int s = 1; s <= layout.slicesPerPicture; ++s) {
            builder.Add(SliceBytes(static_cast<std::uint32_t>(s), layout.sliceBytes,
                                   static_cast<std::uint32_t>(framesBefore * 131 + s), tall));
        }
        const bool secondField = picture.coding && picture.coding->pictureStructure == 2;
        if (!picture.coding || picture.coding->pictureStructure == 3 || secondField) {
            ++framesBefore;
        }
    }
    if (layout.sequenceEnd) {
        builder.SequenceEnd();
    }
    return builder.Result();
}

namespace {

// Display indices of one GOP of `length` frames in coded order with their coding types.
std::vector<std::pair<std::uint32_t, std::uint32_t>> CodedOrder(int length) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> order;
    order.push_back({0, 1});
    int previousAnchor = 0;
    while (previousAnchor < length - 1) {
        const int anchor = std::min(previousAnchor + 3, length - 1);
        order.push_back({static_cast<std::uint32_t>(anchor), 2});
        for (int b = previousAnchor + 1; b < anchor; ++b) {
            order.push_back({static_cast<std::uint32_t>(b), 3});
        }
        previousAnchor = anchor;
    }
    return order;
}

}  // namespace

std::vector<StreamPicture> FramePictures(int count, int gopLength,
                                         const std::optional<PictureCodingParams>& coding) {
    std::vector<StreamPicture> pictures;
    for (int start = 0; start < count; start += gopLength) {
        const int length = std::min(gopLength, count - start);
        bool firstOfGOP = true;
        for (const auto& [display, type] : CodedOrder(length)) {
            StreamPicture picture;
            picture.header.temporalReference = display;
            picture.header.codingType = type;
            picture.coding = coding;
            picture.startsGOP = firstOfGOP;
            firstOfGOP = false;
            pictures.push_back(picture);
        }
    }
    return pictures;
}

std::vector<StreamPicture> FieldPictures(int frames, int gopLength) {
    std::vector<StreamPicture> pictures;
    PictureCodingParams coding;
    coding.progressiveFrame = 0;
    coding.framePredFrameDct = 0;
    coding.topFieldFirst = 1;
    for (const StreamPicture& frame : FramePictures(frames, gopLength, coding)) {
        StreamPicture top = frame;
        top.coding->pictureStructure = 1;
        StreamPicture bottom = frame;
        bottom.startsGOP = false;
        bottom.coding->pictureStructure = 2;
        if (frame.header.codingType == 1) {
            bottom.header.codingType = 2;  // the second field of an I frame is predicted
        }
        pictures.push_back(top);
        pictures.push_back(bottom);
    }
    return pictures;
}

std::vector<StreamPicture> PullDownPictures(int count, int gopLength) {
    // Field cadence by display index: T B T | B T | B T B | T B, and again.
    static constexpr std::uint32_t kTopFirst[] = {1, 0, 0, 1};
    static constexpr std::uint32_t kRepeat[] = {1, 0, 1, 0};
    PictureCodingParams coding;
    coding.progressiveFrame = 1;
    std::vector<StreamPicture> pictures = FramePictures(count, gopLength, coding);
    int gopStart = -gopLength;
    for (StreamPicture& picture : pictures) {
        if (picture.startsGOP) {
            gopStart += gopLength;
        }
        const auto display = static_cast<std::size_t>(gopStart) + picture.header.temporalReference;
        picture.coding->topFieldFirst = kTopFirst[display % 4];
        picture.coding->repeatFirstField = kRepeat[display % 4];
    }
    return pictures;
}

}  // namespace varnix::test
