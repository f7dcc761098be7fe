#include "video/m2v_headers.h"

namespace varnix {

namespace {

// Reads values of a record in order; missing values read as 0.
class ValueReader {
  public:
    explicit ValueReader(std::span<const std::uint32_t> values) : values_(values) {}
    std::uint32_t operator()() { return next_ < values_.size() ? values_[next_++] : 0; }
    std::uint64_t Wide() {
        const std::uint64_t low = (*this)();
        return low | (static_cast<std::uint64_t>((*this)()) << 32);
    }

  private:
    std::span<const std::uint32_t> values_;
    std::size_t next_ = 0;
};

std::uint32_t Low(std::uint64_t value) {
    return static_cast<std::uint32_t>(value);
}

std::uint32_t High(std::uint64_t value) {
    return static_cast<std::uint32_t>(value >> 32);
}

void SkipBits(TFileBitStream& bits, int count) {
    for (; count >= 32; count -= 32) {
        bits.GetBits(32);
    }
    bits.GetBits(count);
}

bool Complete(const TFileBitStream& bits) {
    return !bits.ReadPastEnd();
}

}  // namespace

std::array<std::uint32_t, SequenceHeader::kValues> SequenceHeader::Values() const {
    return {startCode,
            horizontalSize,
            verticalSize,
            aspectRatio,
            frameRateCode,
            bitRateValue,
            markerBit,
            vbvBufferSize,
            constrainedParameters,
            loadIntraQuantiserMatrix,
            loadNonIntraQuantiserMatrix,
            Low(number),
            High(number)};
}

SequenceHeader SequenceHeader::FromValues(std::span<const std::uint32_t> values) {
    ValueReader v(values);
    SequenceHeader h;
    h.startCode = v();
    h.horizontalSize = v();
    h.verticalSize = v();
    h.aspectRatio = v();
    h.frameRateCode = v();
    h.bitRateValue = v();
    h.markerBit = v();
    h.vbvBufferSize = v();
    h.constrainedParameters = v();
    h.loadIntraQuantiserMatrix = v();
    h.loadNonIntraQuantiserMatrix = v();
    h.number = v.Wide();
    return h;
}

std::array<std::uint32_t, SequenceExtension::kValues> SequenceExtension::Values() const {
    return {startCode,
            identifier,
            profileAndLevel,
            progressiveSequence,
            chromaFormat,
            horizontalSizeExtension,
            verticalSizeExtension,
            bitRateExtension,
            markerBit,
            vbvBufferSizeExtension,
            lowDelay,
            frameRateExtensionN,
            frameRateExtensionD};
}

SequenceExtension SequenceExtension::FromValues(std::span<const std::uint32_t> values) {
    ValueReader v(values);
    SequenceExtension e;
    e.startCode = v();
    e.identifier = v();
    e.profileAndLevel = v();
    e.progressiveSequence = v();
    e.chromaFormat = v();
    e.horizontalSizeExtension = v();
    e.verticalSizeExtension = v();
    e.bitRateExtension = v();
    e.markerBit = v();
    e.vbvBufferSizeExtension = v();
    e.lowDelay = v();
    e.frameRateExtensionN = v();
    e.frameRateExtensionD = v();
    return e;
}

std::array<std::uint32_t, SequenceDisplayExtension::kValues> SequenceDisplayExtension::Values()
    const {
    return {identifier,
            videoFormat,
            colourDescription,
            colourPrimaries,
            transferCharacteristics,
            matrixCoefficients,
            displayHorizontalSize,
            markerBit,
            displayVerticalSize};
}

SequenceDisplayExtension SequenceDisplayExtension::FromValues(
    std::span<const std::uint32_t> values) {
    ValueReader v(values);
    SequenceDisplayExtension e;
    e.identifier = v();
    e.videoFormat = v();
    e.colourDescription = v();
    e.colourPrimaries = v();
    e.transferCharacteristics = v();
    e.matrixCoefficients = v();
    e.displayHorizontalSize = v();
    e.markerBit = v();
    e.displayVerticalSize = v();
    return e;
}

std::array<std::uint32_t, GOPHeader::kValues> GOPHeader::Values() const {
    return {startCode, dropFrame, hours,     minutes,    markerBit,
            seconds,   pictures,  closedGOP, brokenLink, number};
}

GOPHeader GOPHeader::FromValues(std::span<const std::uint32_t> values) {
    ValueReader v(values);
    GOPHeader h;
    h.startCode = v();
    h.dropFrame = v();
    h.hours = v();
    h.minutes = v();
    h.markerBit = v();
    h.seconds = v();
    h.pictures = v();
    h.closedGOP = v();
    h.brokenLink = v();
    h.number = v();
    return h;
}

std::array<std::uint32_t, PictureHeader::kValues> PictureHeader::Values() const {
    return {startCode,
            temporalReference,
            codingType,
            vbvDelay,
            fullPelForwardVector,
            forwardFCode,
            fullPelBackwardVector,
            backwardFCode,
            extraBitPicture,
            extraInformation,
            displayPosition,
            Low(filePosition),
            High(filePosition)};
}

PictureHeader PictureHeader::FromValues(std::span<const std::uint32_t> values) {
    ValueReader v(values);
    PictureHeader h;
    h.startCode = v();
    h.temporalReference = v();
    h.codingType = v();
    h.vbvDelay = v();
    h.fullPelForwardVector = v();
    h.forwardFCode = v();
    h.fullPelBackwardVector = v();
    h.backwardFCode = v();
    h.extraBitPicture = v();
    h.extraInformation = v();
    h.displayPosition = v();
    h.filePosition = v.Wide();
    return h;
}

std::array<std::uint32_t, PictureCodingExtension::kValues> PictureCodingExtension::Values() const {
    return {startCode,
            identifier,
            fCodes,
            intraDcPrecision,
            pictureStructure,
            topFieldFirst,
            framePredFrameDct,
            concealmentMotionVectors,
            qScaleType,
            intraVlcFormat,
            alternateScan,
            repeatFirstField,
            chroma420Type,
            progressiveFrame,
            compositeDisplay,
            vAxis,
            fieldSequence,
            subCarrier,
            burstAmplitude,
            subCarrierPhase};
}

PictureCodingExtension PictureCodingExtension::FromValues(std::span<const std::uint32_t> values) {
    ValueReader v(values);
    PictureCodingExtension e;
    e.startCode = v();
    e.identifier = v();
    e.fCodes = v();
    e.intraDcPrecision = v();
    e.pictureStructure = v();
    e.topFieldFirst = v();
    e.framePredFrameDct = v();
    e.concealmentMotionVectors = v();
    e.qScaleType = v();
    e.intraVlcFormat = v();
    e.alternateScan = v();
    e.repeatFirstField = v();
    e.chroma420Type = v();
    e.progressiveFrame = v();
    e.compositeDisplay = v();
    e.vAxis = v();
    e.fieldSequence = v();
    e.subCarrier = v();
    e.burstAmplitude = v();
    e.subCarrierPhase = v();
    return e;
}

bool ParseSequenceHeader(TFileBitStream& bits, SequenceHeader& h) {
    h.startCode = bits.GetBits(8);
    h.horizontalSize = bits.GetBits(12);
    h.verticalSize = bits.GetBits(12);
    h.aspectRatio = bits.GetBits(4);
    h.frameRateCode = bits.GetBits(4);
    h.bitRateValue = bits.GetBits(18);
    h.markerBit = bits.GetBits(1);
    h.vbvBufferSize = bits.GetBits(10);
    h.constrainedParameters = bits.GetBits(1);
    // The quantiser matrices are read past but not kept.
    h.loadIntraQuantiserMatrix = bits.GetBits(1);
    if (h.loadIntraQuantiserMatrix != 0) {
        SkipBits(bits, 64 * 8);
    }
    h.loadNonIntraQuantiserMatrix = bits.GetBits(1);
    if (h.loadNonIntraQuantiserMatrix != 0) {
        SkipBits(bits, 64 * 8);
    }
    return Complete(bits);
}

bool ParseSequenceExtension(TFileBitStream& bits, SequenceExtension& e) {
    e.startCode = bits.GetBits(8);
    e.identifier = bits.GetBits(4);
    e.profileAndLevel = bits.GetBits(8);
    e.progressiveSequence = bits.GetBits(1);
    e.chromaFormat = bits.GetBits(2);
    e.horizontalSizeExtension = bits.GetBits(2);
    e.verticalSizeExtension = bits.GetBits(2);
    e.bitRateExtension = bits.GetBits(12);
    e.markerBit = bits.GetBits(1);
    e.vbvBufferSizeExtension = bits.GetBits(8);
    e.lowDelay = bits.GetBits(1);
    e.frameRateExtensionN = bits.GetBits(2);
    e.frameRateExtensionD = bits.GetBits(5);
    return Complete(bits);
}

bool ParseSequenceDisplayExtension(TFileBitStream& bits, SequenceDisplayExtension& e) {
    bits.GetBits(8);  // the start code value is not part of the record
    e.identifier = bits.GetBits(4);
    e.videoFormat = bits.GetBits(3);
    e.colourDescription = bits.GetBits(1);
    e.colourPrimaries = 0;
    e.transferCharacteristics = 0;
    e.matrixCoefficients = 0;
    if (e.colourDescription != 0) {
        e.colourPrimaries = bits.GetBits(8);
        e.transferCharacteristics = bits.GetBits(8);
        e.matrixCoefficients = bits.GetBits(8);
    }
    e.displayHorizontalSize = bits.GetBits(14);
    e.markerBit = bits.GetBits(1);
    e.displayVerticalSize = bits.GetBits(14);
    return Complete(bits);
}

bool ParseGOPHeader(TFileBitStream& bits, GOPHeader& h) {
    h.startCode = bits.GetBits(8);
    h.dropFrame = bits.GetBits(1);
    h.hours = bits.GetBits(5);
    h.minutes = bits.GetBits(6);
    h.markerBit = bits.GetBits(1);
    h.seconds = bits.GetBits(6);
    h.pictures = bits.GetBits(6);
    h.closedGOP = bits.GetBits(1);
    h.brokenLink = bits.GetBits(1);
    return Complete(bits);
}

bool ParsePictureHeader(TFileBitStream& bits, PictureHeader& h) {
    h.startCode = bits.GetBits(8);
    h.temporalReference = bits.GetBits(10);
    h.codingType = bits.GetBits(3);
    h.vbvDelay = bits.GetBits(16);
    h.fullPelForwardVector = 0;
    h.forwardFCode = 0;
    h.fullPelBackwardVector = 0;
    h.backwardFCode = 0;
    if (h.codingType == 2 || h.codingType == 3) {
        h.fullPelForwardVector = bits.GetBits(1);
        h.forwardFCode = bits.GetBits(3);
    }
    if (h.codingType == 3) {
        h.fullPelBackwardVector = bits.GetBits(1);
        h.backwardFCode = bits.GetBits(3);
    }
    h.extraInformation = 0;
    while (bits.PeekBits(1) == 1 && !bits.EndOfData()) {
        bits.GetBits(1);
        h.extraInformation = bits.GetBits(8);
    }
    h.extraBitPicture = bits.GetBits(1);
    return Complete(bits);
}

bool ParsePictureCodingExtension(TFileBitStream& bits, PictureCodingExtension& e) {
    e.startCode = bits.GetBits(8);
    e.identifier = bits.GetBits(4);
    const std::uint32_t forwardH = bits.GetBits(4);
    const std::uint32_t forwardV = bits.GetBits(4);
    const std::uint32_t backwardH = bits.GetBits(4);
    const std::uint32_t backwardV = bits.GetBits(4);
    e.fCodes = forwardH | (forwardV << 8) | (backwardH << 16) | (backwardV << 24);
    e.intraDcPrecision = bits.GetBits(2);
    e.pictureStructure = bits.GetBits(2);
    e.topFieldFirst = bits.GetBits(1);
    e.framePredFrameDct = bits.GetBits(1);
    e.concealmentMotionVectors = bits.GetBits(1);
    e.qScaleType = bits.GetBits(1);
    e.intraVlcFormat = bits.GetBits(1);
    e.alternateScan = bits.GetBits(1);
    e.repeatFirstField = bits.GetBits(1);
    e.chroma420Type = bits.GetBits(1);
    e.progressiveFrame = bits.GetBits(1);
    e.compositeDisplay = bits.GetBits(1);
    e.vAxis = 0;
    e.fieldSequence = 0;
    e.subCarrier = 0;
    e.burstAmplitude = 0;
    e.subCarrierPhase = 0;
    if (e.compositeDisplay != 0) {
        e.vAxis = bits.GetBits(1);
        e.fieldSequence = bits.GetBits(3);
        e.subCarrier = bits.GetBits(1);
        e.burstAmplitude = bits.GetBits(7);
        e.subCarrierPhase = bits.GetBits(8);
    }
    return Complete(bits);
}

bool ParseSequenceScalableExtension(TFileBitStream& bits, std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));  // identifier
    const std::uint32_t mode = bits.GetBits(2);
    values.push_back(mode);
    values.push_back(bits.GetBits(4));  // layer_id
    if (mode == 1) {                    // spatial scalability
        values.push_back(bits.GetBits(14));
        values.push_back(bits.GetBits(1));
        values.push_back(bits.GetBits(14));
        values.push_back(bits.GetBits(5));
        values.push_back(bits.GetBits(5));
        values.push_back(bits.GetBits(5));
        values.push_back(bits.GetBits(5));
    } else if (mode == 3) {  // temporal scalability
        const std::uint32_t muxEnable = bits.GetBits(1);
        values.push_back(muxEnable);
        values.push_back(muxEnable != 0 ? bits.GetBits(1) : 0);
        values.push_back(bits.GetBits(3));
        values.push_back(bits.GetBits(3));
    }
    return Complete(bits);
}

bool ParseQuantMatrixExtension(TFileBitStream& bits, std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));  // identifier
    for (int matrix = 0; matrix < 4; ++matrix) {
        const std::uint32_t load = bits.GetBits(1);
        values.push_back(load);
        if (load != 0) {
            SkipBits(bits, 64 * 8);
        }
    }
    return Complete(bits);
}

int FrameCentreOffsets(std::uint32_t progressiveSequence, std::uint32_t pictureStructure,
                       std::uint32_t topFieldFirst, std::uint32_t repeatFirstField) {
    if (progressiveSequence != 0) {
        if (repeatFirstField != 0) {
            return topFieldFirst != 0 ? 3 : 2;
        }
        return 1;
    }
    if (pictureStructure != 3) {
        return 1;
    }
    return repeatFirstField != 0 ? 3 : 2;
}

bool ParsePictureDisplayExtension(TFileBitStream& bits, int frameCentreOffsets,
                                  std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));  // identifier
    for (int i = 0; i < frameCentreOffsets; ++i) {
        values.push_back(bits.GetBits(16));  // horizontal offset
        bits.GetBits(1);
        values.push_back(bits.GetBits(16));  // vertical offset
        bits.GetBits(1);
    }
    return Complete(bits);
}

bool ParsePictureSpatialScalableExtension(TFileBitStream& bits,
                                          std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));   // identifier
    values.push_back(bits.GetBits(10));  // lower_layer_temporal_reference
    bits.GetBits(1);
    values.push_back(bits.GetBits(15));  // lower_layer_horizontal_offset
    bits.GetBits(1);
    values.push_back(bits.GetBits(15));  // lower_layer_vertical_offset
    values.push_back(bits.GetBits(2));   // spatial_temporal_weight_code_table_index
    values.push_back(bits.GetBits(1));   // lower_layer_progressive_frame
    values.push_back(bits.GetBits(1));   // lower_layer_deinterlaced_field_select
    return Complete(bits);
}

bool ParsePictureTemporalScalableExtension(TFileBitStream& bits,
                                           std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));   // identifier
    values.push_back(bits.GetBits(2));   // reference_select_code
    values.push_back(bits.GetBits(10));  // forward_temporal_reference
    bits.GetBits(1);
    values.push_back(bits.GetBits(10));  // backward_temporal_reference
    return Complete(bits);
}

void SkipSliceHeader(TFileBitStream& bits, bool tallPicture) {
    bits.GetBits(8);  // slice_vertical_position
    if (tallPicture) {
        bits.GetBits(3);
    }
    bits.GetBits(5);  // quantiser_scale_code
    if (bits.PeekBits(1) == 1) {
        bits.GetBits(9);  // intra_slice_flag, intra_slice, reserved_bits
        while (bits.PeekBits(1) == 1 && !bits.EndOfData()) {
            bits.GetBits(9);  // extra_bit_slice, extra_information_slice
        }
    }
    bits.GetBits(1);  // extra_bit_slice
}

void TestLine21UserData(std::span<const std::uint8_t> b, bool& switch1, bool& switch2) {
    if (b.size() < 6) {
        return;
    }
    const std::uint8_t b5 = b[4];
    const bool low = b5 >= 1 && b5 <= 127;
    const bool high = b5 >= 129;
    if (b[5] == 0xFF) {
        if (low) {
            switch2 = true;
        } else if (high) {
            switch1 = true;
        }
    }
    if (b.size() < 9) {
        return;
    }
    if (b[8] == 0xFF) {
        if (low) {
            switch1 = true;
        } else if (high) {
            switch2 = true;
        }
    }
    if (b[5] == 0xFF || b[8] == 0xFF) {
        if (b5 == 1) {
            switch1 = false;
            switch2 = true;
        } else if (b5 == 129) {
            switch1 = true;
            switch2 = false;
        }
    }
}

std::string SystemStreamDescription(std::uint32_t code) {
    switch (code) {
        case 0xBC:
            return "Program Stream Map";
        case 0xBD:
            return "Private Stream 1";
        case 0xBE:
            return "Padding Stream";
        case 0xBF:
            return "Private Stream 2";
        case 0xF0:
            return "ECM Stream";
        case 0xF1:
            return "EMM Stream";
        case 0xF2:
            return "DSMCC Stream";
        case 0xF3:
            return "ISO 13522 Stream";
        case 0xF4:
            return "Rec. H.222.1 type A";
        case 0xF5:
            return "Rec. H.222.1 type B";
        case 0xF6:
            return "Rec. H.222.1 type C";
        case 0xF7:
            return "Rec. H.222.1 type D";
        case 0xF8:
            return "Rec. H.222.1 type E";
        case 0xF9:
            return "Ancillary Stream";
        case 0xFF:
            return "Program Stream";
        default:
            break;
    }
    if (code >= 0xC0 && code <= 0xDF) {
        return "Audio Stream";
    }
    if (code >= 0xE0 && code <= 0xEF) {
        return "Video Stream";
    }
    return "Reserved Sata Stream";
}

}  // namespace varnix
