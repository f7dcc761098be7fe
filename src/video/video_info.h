#pragma once
// The video description: what a scan of an MPEG video stream found, in the 443-byte,
// little-endian layout that also opens the ".vnf" info cache file beside the video.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/timecode.h"

namespace varnix {

inline constexpr std::size_t kVideoInfoSize = 443;
inline constexpr std::size_t kVideoInfoMagicSize = 101;
inline constexpr const char* kVideoInfoMagic = "MPEG Quorvane Info File";
// The cache file of a video is its full name with this appended.
inline constexpr const char* kVideoCacheSuffix = ".vnf";

// Byte offsets of the fields in the stored record.
namespace video_info_offset {
inline constexpr std::size_t kMagic = 0;
inline constexpr std::size_t kStartTime = 101;
inline constexpr std::size_t kDuration = 105;
inline constexpr std::size_t kLongestGOP = 109;
inline constexpr std::size_t kWholeFrameRate = 113;
inline constexpr std::size_t kAspectRatio = 117;
inline constexpr std::size_t kPanScan = 121;
inline constexpr std::size_t kVariableBitRate = 122;
inline constexpr std::size_t kMpegVersion = 123;
inline constexpr std::size_t kLine21Switch1 = 127;
inline constexpr std::size_t kLine21Switch2 = 128;
inline constexpr std::size_t kFrameRateCode = 129;
inline constexpr std::size_t kFrames = 133;
inline constexpr std::size_t kWidth = 141;
inline constexpr std::size_t kHeight = 145;
inline constexpr std::size_t kBitRate = 149;
inline constexpr std::size_t kPictures = 153;
inline constexpr std::size_t kSequenceEnds = 157;
inline constexpr std::size_t kLowestBitRate = 161;
inline constexpr std::size_t kHighestBitRate = 165;
inline constexpr std::size_t kAverageBitRate = 169;
inline constexpr std::size_t kPullDown = 173;
inline constexpr std::size_t kFileBlocks = 174;
inline constexpr std::size_t kFileTime = 179;
inline constexpr std::size_t kFields = 187;
inline constexpr std::size_t kCodedPictures = 191;
inline constexpr std::size_t kDisplayWidth = 195;
inline constexpr std::size_t kDisplayHeight = 199;
}  // namespace video_info_offset

struct VideoInfo {
    std::array<char, kVideoInfoMagicSize> magic{};  // "MPEG Quorvane Info File", zero-padded
    TimeCode startTime;                             // first GOP header's time code
    TimeCode duration;                              // frames as a time code at the whole frame rate
    std::uint32_t longestGOP = 0;                   // in pictures
    std::int32_t wholeFrameRate = 0;  // 24, 25, 30, 50, 60; -1 without a frame rate code
    std::uint32_t aspectRatio = 0;
    bool panScan = false;
    bool variableBitRate = false;
    std::uint32_t mpegVersion = 0;
    bool line21Switch1 = false;
    bool line21Switch2 = false;
    std::uint32_t frameRateCode = 0;
    std::int64_t frames = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitRate = 0;   // bits per second
    std::uint32_t pictures = 0;  // round(0.1 + coded pictures)
    std::uint32_t sequenceEnds = 0;
    // Bits per second after a scan without cache; in the cache the raw bit_rate_value
    // (lowest, highest) and the sum of bit_rate_value div 100 (average).
    std::uint32_t lowestBitRate = 0;
    std::uint32_t highestBitRate = 0;
    std::uint32_t averageBitRate = 0;
    bool pullDown = false;
    std::uint32_t fileBlocks = 0;     // size of the video file div 524280
    std::uint64_t fileTime = 0;       // video's last-write time; only in the cache file
    std::uint32_t fields = 0;         // displayed fields, low 32 bits
    std::uint32_t codedPictures = 0;  // round(coded pictures), halves to even
    std::uint32_t displayWidth = 0;   // from the sequence display extension; 0 when none
    std::uint32_t displayHeight = 0;

    // An empty record carrying the magic.
    static VideoInfo WithMagic();
    // True when the magic field, read as a zero-terminated text, is the cache magic.
    bool HasMagic() const;

    std::array<std::uint8_t, kVideoInfoSize> ToBytes() const;
    // The record of the stored layout; none when there are fewer than 443 bytes.
    static std::optional<VideoInfo> FromBytes(std::span<const std::uint8_t> bytes);

    friend bool operator==(const VideoInfo&, const VideoInfo&) = default;
};

// The frame-rate table by frame_rate_code (0 and 9..15: -1) and its rounded whole rate.
double FrameRateOfCode(std::uint32_t frameRateCode);
std::int32_t WholeFrameRateOfCode(std::uint32_t frameRateCode);
// "Forbidden", "23.98", ..., "60", then "Reserved".
std::string FrameRateName(std::uint32_t frameRateCode);

}  // namespace varnix
