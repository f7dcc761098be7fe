#include "video/video_info.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>
#include <variant>

namespace varnix {

namespace {

namespace off = video_info_offset;

// The stored fields after the magic: where each lies and which member holds it. Its type gives
// its width: a flag 1 byte, a time code and a 32-bit number 4, a 64-bit number 8, all
// little-endian.
using StoredMember =
    std::variant<bool VideoInfo::*, TimeCode VideoInfo::*, std::uint32_t VideoInfo::*,
                 std::int32_t VideoInfo::*, std::int64_t VideoInfo::*, std::uint64_t VideoInfo::*>;

struct StoredField {
    std::size_t offset;
    StoredMember member;
};

const StoredField kStoredFields[] = {
    {off::kStartTime, &VideoInfo::startTime},
    {off::kDuration, &VideoInfo::duration},
    {off::kLongestGOP, &VideoInfo::longestGOP},
    {off::kWholeFrameRate, &VideoInfo::wholeFrameRate},
    {off::kAspectRatio, &VideoInfo::aspectRatio},
    {off::kPanScan, &VideoInfo::panScan},
    {off::kVariableBitRate, &VideoInfo::variableBitRate},
    {off::kMpegVersion, &VideoInfo::mpegVersion},
    {off::kLine21Switch1, &VideoInfo::line21Switch1},
    {off::kLine21Switch2, &VideoInfo::line21Switch2},
    {off::kFrameRateCode, &VideoInfo::frameRateCode},
    {off::kFrames, &VideoInfo::frames},
    {off::kWidth, &VideoInfo::width},
    {off::kHeight, &VideoInfo::height},
    {off::kBitRate, &VideoInfo::bitRate},
    {off::kPictures, &VideoInfo::pictures},
    {off::kSequenceEnds, &VideoInfo::sequenceEnds},
    {off::kLowestBitRate, &VideoInfo::lowestBitRate},
    {off::kHighestBitRate, &VideoInfo::highestBitRate},
    {off::kAverageBitRate, &VideoInfo::averageBitRate},
    {off::kPullDown, &VideoInfo::pullDown},
    {off::kFileBlocks, &VideoInfo::fileBlocks},
    {off::kFileTime, &VideoInfo::fileTime},
    {off::kFields, &VideoInfo::fields},
    {off::kCodedPictures, &VideoInfo::codedPictures},
    {off::kDisplayWidth, &VideoInfo::displayWidth},
    {off::kDisplayHeight, &VideoInfo::displayHeight},
};

void PutLittle(std::uint8_t* bytes, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint64_t GetLittle(const std::uint8_t* bytes, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// A member's stored form: its value as an unsigned number, and its width in bytes.
template <typename T>
std::pair<std::uint64_t, std::size_t> Stored(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return {value ? 1u : 0u, 1};
    } else if constexpr (std::is_same_v<T, TimeCode>) {
        return {value.Word(), 4};
    } else {
        return {static_cast<std::make_unsigned_t<T>>(value), sizeof(T)};
    }
}

template <typename T>
T FromStored(const std::uint8_t* bytes) {
    if constexpr (std::is_same_v<T, bool>) {
        return bytes[0] != 0;
    } else if constexpr (std::is_same_v<T, TimeCode>) {
        return TimeCode::FromWord(static_cast<std::uint32_t>(GetLittle(bytes, 4)));
    } else {
        return static_cast<T>(GetLittle(bytes, sizeof(T)));
    }
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
    std::memcpy(out.data() + off::kMagic, magic.data(), magic.size());
    for (const StoredField& field : kStoredFields) {
        std::visit(
            [&](auto member) {
                const auto [value, bytes] = Stored(this->*member);
                PutLittle(out.data() + field.offset, value, bytes);
            },
            field.member);
    }
    return out;
}

std::optional<VideoInfo> VideoInfo::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kVideoInfoSize) {
        return std::nullopt;
    }
    VideoInfo info;
    std::memcpy(info.magic.data(), bytes.data() + off::kMagic, info.magic.size());
    for (const StoredField& field : kStoredFields) {
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(info.*member)>;
                info.*member = FromStored<T>(bytes.data() + field.offset);
            },
            field.member);
    }
    return info;
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
