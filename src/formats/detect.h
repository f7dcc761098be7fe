#pragma once
// The content kind of a media file, decided from its first bytes, never from its name: the first
// 11 bytes, and with the extended formats on as many more as the kind needs.

#include <cstdint>
#include <span>
#include <string>

#include "formats/format_options.h"

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
    MPG,  // an MPEG program stream with MPEG-1/2 video (extended formats)
    TS,   // an MPEG transport stream with MPEG-1/2 video (extended formats)
};

// The text of a kind where it is shown or stored: ".ac3", ".dts", ".mpa", ".wav", ".m2v",
// ".m1v", ".mpg", ".ts", and "" for an unknown kind.
const char* MediaKindText(MediaKind kind);

// How many leading bytes detection reads under the options.
std::size_t DetectionHeadBytes(FormatOptions options);

// The kind of the leading bytes of a file. Without the extended formats at most the first 11
// are looked at; with them, a sequence header of any non-zero picture size is a video: ".m2v"
// when a sequence extension follows it before the first picture, ".m1v" otherwise; and a program
// or transport stream whose video (as ProbeContainer finds it in `head`) is MPEG-1/2 video is
// ".mpg" or ".ts".
MediaKind DetectFormatOfBytes(std::span<const std::uint8_t> head, FormatOptions options = {});
// The kind of a file; Unknown when it cannot be opened or is not recognised.
MediaKind DetectFormat(const std::string& fileName, FormatOptions options = {});

constexpr bool IsVideoKind(MediaKind kind) {
    return kind == MediaKind::M2V || kind == MediaKind::M1V || kind == MediaKind::MPG ||
           kind == MediaKind::TS;
}

}  // namespace varnix
