#pragma once
// The content kind of a media file, decided from its first 11 bytes, never from its name.

#include <cstdint>
#include <span>
#include <string>

namespace varnix {

// What a file holds by its leading bytes. More kinds (program and transport streams) may follow;
// code that switches on a kind handles the ones it knows and treats others as unknown.
enum class MediaKind {
    Unknown,
    AC3,
    DTS,
    MPA,
    WAV,
    M2V,
    M1V,
};

// The text of a kind where it is shown or stored: ".ac3", ".dts", ".mpa", ".wav", ".m2v",
// ".m1v", and "" for an unknown kind.
const char* MediaKindText(MediaKind kind);

// The kind of the leading bytes of a file (at most the first 11 are looked at).
MediaKind DetectFormatOfBytes(std::span<const std::uint8_t> head);
// The kind of a file; Unknown when it cannot be opened or is not recognised.
MediaKind DetectFormat(const std::string& fileName);

constexpr bool IsVideoKind(MediaKind kind) {
    return kind == MediaKind::M2V || kind == MediaKind::M1V;
}

}  // namespace varnix
