#pragma once
// The content kind of a media file, decided from its first 11 bytes, never from its name.

#include <cstdint>
#include <span>
#include <string>

namespace varnix {

inline constexpr const char* kKindAC3 = ".ac3";
inline constexpr const char* kKindDTS = ".dts";
inline constexpr const char* kKindMPA = ".mpa";
inline constexpr const char* kKindWAV = ".wav";
inline constexpr const char* kKindM2V = ".m2v";
inline constexpr const char* kKindM1V = ".m1v";

// The kind of the leading bytes of a file (at most the first 11 are looked at): ".ac3",
// ".dts", ".mpa", ".wav", ".m2v", ".m1v", or "" when no rule matches.
std::string DetectFormatOfBytes(std::span<const std::uint8_t> head);
// The kind of a file; "" when it cannot be opened or is not recognised.
std::string DetectFormat(const std::string& fileName);

inline bool IsVideoKind(const std::string& kind) {
    return kind == kKindM2V || kind == kKindM1V;
}

}  // namespace varnix
