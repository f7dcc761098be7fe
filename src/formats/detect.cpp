#include "formats/detect.h"

#include <array>

#include "core/file.h"

namespace varnix {

const char* MediaKindText(MediaKind kind) {
    switch (kind) {
        case MediaKind::AC3:
            return ".ac3";
        case MediaKind::DTS:
            return ".dts";
        case MediaKind::MPA:
            return ".mpa";
        case MediaKind::WAV:
            return ".wav";
        case MediaKind::M2V:
            return ".m2v";
        case MediaKind::M1V:
            return ".m1v";
        case MediaKind::Unknown:
            break;
    }
    return "";
}

MediaKind DetectFormatOfBytes(std::span<const std::uint8_t> head) {
    const auto starts = [&](std::initializer_list<std::uint8_t> bytes) {
        if (head.size() < bytes.size()) {
            return false;
        }
        std::size_t i = 0;
        for (std::uint8_t b : bytes) {
            if (head[i++] != b) {
                return false;
            }
        }
        return true;
    };
    if (starts({0x0B, 0x77})) {
        return MediaKind::AC3;
    }
    if (starts({0x7F, 0xFE, 0x80, 0x01})) {
        return MediaKind::DTS;
    }
    if (starts({0xFF, 0xFC})) {
        return MediaKind::MPA;
    }
    if (starts({'R', 'I', 'F', 'F'})) {
        return MediaKind::WAV;
    }
    if (starts({0x00, 0x00, 0x01, 0xB3}) && head.size() >= 5) {
        if (head[4] == 0x2D || head[4] == 0x1E) {
            return MediaKind::M2V;
        }
        if (head[4] == 0x16) {
            return MediaKind::M1V;
        }
    }
    return MediaKind::Unknown;
}

MediaKind DetectFormat(const std::string& fileName) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return MediaKind::Unknown;
    }
    std::array<std::uint8_t, 11> head{};
    const std::size_t got = file.read(head.data(), head.size());
    return DetectFormatOfBytes(std::span<const std::uint8_t>(head.data(), got));
}

}  // namespace varnix
