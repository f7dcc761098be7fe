#include "video/m2v_headers.h"

namespace varnix {

namespace {

void SkipBits(TBitStream& bits, int count) {
    for (; count >= 32; count -= 32) {
        bits.GetBits(32);
    }
    bits.GetBits(count);
}

bool Complete(const TBitStream& bits) {
    return !bits.ReadPastEnd();
}

}  // namespace

void ReadExtraInformation(TBitStream& bits, PictureHeader& h) {
    h.extraInformation = 0;
    while (bits.PeekBits(1) == 1 && !bits.EndOfData()) {
        bits.GetBits(1);
        h.extraInformation = bits.GetBits(8);
    }
    h.extraBitPicture = bits.GetBits(1);
}

void ReadFCodes(TBitStream& bits, PictureCodingExtension& e) {
    const std::uint32_t forwardH = bits.GetBits(4);
    const std::uint32_t forwardV = bits.GetBits(4);
    const std::uint32_t backwardH = bits.GetBits(4);
    const std::uint32_t backwardV = bits.GetBits(4);
    e.fCodes = forwardH | (forwardV << 8) | (backwardH << 16) | (backwardV << 24);
}

bool ParseSequenceScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values) {
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

bool ParseQuantMatrixExtension(TBitStream& bits, std::vector<std::uint32_t>& values) {
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

bool ParsePictureDisplayExtension(TBitStream& bits, int frameCentreOffsets,
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

bool ParsePictureSpatialScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values) {
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

bool ParsePictureTemporalScalableExtension(TBitStream& bits, std::vector<std::uint32_t>& values) {
    values.clear();
    values.push_back(bits.GetBits(8));
    values.push_back(bits.GetBits(4));   // identifier
    values.push_back(bits.GetBits(2));   // reference_select_code
    values.push_back(bits.GetBits(10));  // forward_temporal_reference
    bits.GetBits(1);
    values.push_back(bits.GetBits(10));  // backward_temporal_reference
    return Complete(bits);
}

void SkipSliceHeader(TBitStream& bits, bool tallPicture) {
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
