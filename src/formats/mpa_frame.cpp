#include "formats/mpa_frame.h"

#include <algorithm>
#include <cstring>

namespace varnix {

const std::array<std::array<std::uint16_t, 4>, 4> TMPAFrame::kSampleRates = {{
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
    {0, 0, 0, 0},
}};

// clang-format off
const std::array<std::array<std::uint16_t, 16>, 6> TMPAFrame::kBitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 65535},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 65535},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 65535},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 65535},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 65535},
    {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535,
     65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535},
}};
// clang-format on

bool TMPAFrame::ParseHeader(std::span<const std::uint8_t> header) {
    valid = false;
    if (header.size() < 4) {
        return false;
    }
    std::copy_n(header.begin(), 4, rawHeader.begin());
    const std::uint32_t h = (static_cast<std::uint32_t>(header[0]) << 24) |
                            (static_cast<std::uint32_t>(header[1]) << 16) |
                            (static_cast<std::uint32_t>(header[2]) << 8) | header[3];
    static constexpr std::uint8_t kVersionOfBits[4] = {2, 3, 1, 0};  // 00, 01, 10, 11
    static constexpr std::uint8_t kLayerOfBits[4] = {3, 2, 1, 0};
    version = kVersionOfBits[(h >> 19) & 3];
    layer = kLayerOfBits[(h >> 17) & 3];
    crcProtected = ((h >> 16) & 1) == 0;
    const unsigned bitRateIndex = (h >> 12) & 0xF;
    const unsigned sampleRateIndex = (h >> 10) & 3;
    padding = ((h >> 9) & 1) != 0;
    privateBit = ((h >> 8) & 1) != 0;
    channelMode = static_cast<std::uint8_t>((h >> 6) & 3);
    copyright = ((h >> 3) & 1) != 0;
    original = ((h >> 2) & 1) != 0;
    emphasis = static_cast<std::uint8_t>(h & 3);

    std::size_t group = 5;
    if (version == 0 && layer < 3) {
        group = layer;
    } else if ((version == 1 || version == 2) && layer < 3) {
        group = layer == 0 ? 3 : 4;
    }
    sampleRate = kSampleRates[version][sampleRateIndex];
    bitRate = kBitRates[group][bitRateIndex];
    valid = sampleRate != 0 && bitRate != kInvalidBitRate;
    return valid;
}

void TMPAFrame::CopyHeaderValues(const TMPAFrame& other) {
    version = other.version;
    layer = other.layer;
    channelMode = other.channelMode;
    crcProtected = other.crcProtected;
    bitRate = other.bitRate;
    sampleRate = other.sampleRate;
    valid = other.valid;
    padding = other.padding;
    privateBit = other.privateBit;
    copyright = other.copyright;
    original = other.original;
    emphasis = other.emphasis;
    rawHeader = other.rawHeader;
}

std::uint16_t TMPAFrame::SamplesPerFrame() const {
    switch (layer) {
        case 0:
            return 384;
        case 1:
            return 1152;
        case 2:
            return version == 0 ? 1152 : 576;
        default:
            return 0;
    }
}

std::uint16_t TMPAFrame::FrameLength() const {
    if (!valid || sampleRate == 0 || bitRate == 0 || bitRate == kInvalidBitRate) {
        return 0;
    }
    const std::uint32_t pad = padding ? 1 : 0;
    std::uint32_t length = 0;
    if (layer == 0) {
        length = (12000u * bitRate / sampleRate + pad) * 4;
    } else if (layer == 1 || (layer == 2 && version == 0)) {
        length = 144000u * bitRate / sampleRate + pad;
    } else if (layer == 2) {
        length = 72000u * bitRate / sampleRate + pad;
    }
    return static_cast<std::uint16_t>(length);
}

std::uint16_t TMPAFrame::PayloadLength() const {
    const std::uint16_t length = FrameLength();
    return length > 4 ? static_cast<std::uint16_t>(length - 4) : 0;
}

std::size_t TMPAInfoFrame::TagOffset() const {
    const bool mono = channelMode == 3;
    if (version == 0) {
        return mono ? 17 : 32;
    }
    return mono ? 9 : 17;
}

bool TMPAInfoFrame::DetectTag() {
    const std::size_t at = TagOffset();
    if (payload.size() < at + 4) {
        return false;
    }
    if (std::memcmp(payload.data() + at, "Xing", 4) == 0) {
        tagKind = 0;
        return true;
    }
    if (std::memcmp(payload.data() + at, "Info", 4) == 0) {
        tagKind = 1;
        return true;
    }
    return false;
}

namespace {

std::string Pick(unsigned index, std::initializer_list<const char*> names, const char* other) {
    return index < names.size() ? names.begin()[index] : other;
}

}  // namespace

std::string MPAVersionName(unsigned version) {
    return Pick(version, {"1", "2", "2.5", "Unknown"}, "Unknown");
}

std::string MPALayerName(unsigned layer) {
    return Pick(layer, {"1", "2", "3", "Unknown"}, "Unknown");
}

std::string MPAModeName(unsigned mode) {
    return Pick(mode, {"Stereo", "Joint Stereo", "Dual", "Mono"}, "");
}

std::string MPAModeReportName(unsigned mode) {
    return Pick(mode, {"Stereo", "Join Stereo", "Dual", "Mono"}, "Unknown");
}

std::string MPAEmphasisName(unsigned emphasis) {
    return Pick(emphasis, {"None", "50.15 Ms", "Reserved", "CCITT_J17"}, "Unknown");
}

}  // namespace varnix
