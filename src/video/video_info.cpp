#include "video/video_info.h"

#include <algorithm>
#include <cstring>

namespace varnix {

namespace {

namespace off = video_info_offset;

void Put32(std::uint8_t* bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void Put64(std::uint8_t* bytes, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t Get32(const std::uint8_t* bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | bytes[at + i];
    }
    return value;
}

std::uint64_t Get64(const std::uint8_t* bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | bytes[at + i];
    }
    return value;
}

}  // namespace

VideoInfo VideoInfo::WithMagic() {
    VideoInfo info;
    std::memcpy(info.magic.data(), kVideoInfoMagic, std::strlen(kVideoInfoMagic));
    return info;
}

bool VideoInfo::HasMagic() const {
    const auto end = std::find(magic.begin(), magic.end(), '\0');
    return std::string(magic.begin(), end) == kVideoInfoMagic;
}

std::array<std::uint8_t, kVideoInfoSize> VideoInfo::ToBytes() const {
    std::array<std::uint8_t, kVideoInfoSize> out{};
    std::uint8_t* b = out.data();
    std::memcpy(b + off::kMagic, magic.data(), magic.size());
    Put32(b, off::kStartTime, startTime.Word());
    Put32(b, off::kDuration, duration.Word());
    Put32(b, off::kLongestGOP, longestGOP);
    Put32(b, off::kWholeFrameRate, static_cast<std::uint32_t>(wholeFrameRate));
    Put32(b, off::kAspectRatio, aspectRatio);
    b[off::kPanScan] = panScan ? 1 : 0;
    b[off::kVariableBitRate] = variableBitRate ? 1 : 0;
    Put32(b, off::kMpegVersion, mpegVersion);
    b[off::kLine21Switch1] = line21Switch1 ? 1 : 0;
    b[off::kLine21Switch2] = line21Switch2 ? 1 : 0;
    Put32(b, off::kFrameRateCode, frameRateCode);
    Put64(b, off::kFrames, static_cast<std::uint64_t>(frames));
    Put32(b, off::kWidth, width);
    Put32(b, off::kHeight, height);
    Put32(b, off::kBitRate, bitRate);
    Put32(b, off::kPictures, pictures);
    Put32(b, off::kSequenceEnds, sequenceEnds);
    Put32(b, off::kLowestBitRate, lowestBitRate);
    Put32(b, off::kHighestBitRate, highestBitRate);
    Put32(b, off::kAverageBitRate, averageBitRate);
    b[off::kPullDown] = pullDown ? 1 : 0;
    Put32(b, off::kFileBlocks, fileBlocks);
    Put64(b, off::kFileTime, fileTime);
    Put32(b, off::kFields, fields);
    Put32(b, off::kCodedPictures, codedPictures);
    Put32(b, off::kDisplayWidth, displayWidth);
    Put32(b, off::kDisplayHeight, displayHeight);
    return out;
}

bool VideoInfo::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kVideoInfoSize) {
        return false;
    }
    const std::uint8_t* b = bytes.data();
    std::memcpy(magic.data(), b + off::kMagic, magic.size());
    startTime = TimeCode::FromWord(Get32(b, off::kStartTime));
    duration = TimeCode::FromWord(Get32(b, off::kDuration));
    longestGOP = Get32(b, off::kLongestGOP);
    wholeFrameRate = static_cast<std::int32_t>(Get32(b, off::kWholeFrameRate));
    aspectRatio = Get32(b, off::kAspectRatio);
    panScan = b[off::kPanScan] != 0;
    variableBitRate = b[off::kVariableBitRate] != 0;
    mpegVersion = Get32(b, off::kMpegVersion);
    line21Switch1 = b[off::kLine21Switch1] != 0;
    line21Switch2 = b[off::kLine21Switch2] != 0;
    frameRateCode = Get32(b, off::kFrameRateCode);
    frames = static_cast<std::int64_t>(Get64(b, off::kFrames));
    width = Get32(b, off::kWidth);
    height = Get32(b, off::kHeight);
    bitRate = Get32(b, off::kBitRate);
    pictures = Get32(b, off::kPictures);
    sequenceEnds = Get32(b, off::kSequenceEnds);
    lowestBitRate = Get32(b, off::kLowestBitRate);
    highestBitRate = Get32(b, off::kHighestBitRate);
    averageBitRate = Get32(b, off::kAverageBitRate);
    pullDown = b[off::kPullDown] != 0;
    fileBlocks = Get32(b, off::kFileBlocks);
    fileTime = Get64(b, off::kFileTime);
    fields = Get32(b, off::kFields);
    codedPictures = Get32(b, off::kCodedPictures);
    displayWidth = Get32(b, off::kDisplayWidth);
    displayHeight = Get32(b, off::kDisplayHeight);
    return true;
}

double FrameRateOfCode(std::uint32_t frameRateCode) {
    static constexpr double kRates[] = {-1, 23.98, 24, 25, 29.97, 30, 50, 59.94, 60};
    return frameRateCode < 9 ? kRates[frameRateCode] : -1;
}

std::int32_t WholeFrameRateOfCode(std::uint32_t frameRateCode) {
    return static_cast<std::int32_t>(RoundEven(FrameRateOfCode(frameRateCode)));
}

std::string FrameRateName(std::uint32_t frameRateCode) {
    static constexpr const char* kNames[] = {"Forbidden", "23.98", "24",    "25", "29.97",
                                             "30",        "50",    "59.94", "60"};
    return frameRateCode < 9 ? kNames[frameRateCode] : "Reserved";
}

}  // namespace varnix
