#include "formats/detect.h"

#include <vector>

#include "core/file.h"
#include "formats/container_probe.h"
#include "formats/video_sniff.h"

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
        case MediaKind::MPG:
            return ".mpg";
        case MediaKind::TS:
            return ".ts";
        case MediaKind::Unknown:
            break;
    }
    return "";
}

std::size_t DetectionHeadBytes(FormatOptions options) {
    // Enough for a sequence header with both matrices and the extension after it.
    return options.extended ? 4096 : 11;
}

MediaKind DetectFormatOfBytes(std::span<const std::uint8_t> head, FormatOptions options) {
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
    if (options.extended) {
        if (const auto video = SniffElementaryVideo(head);
            video && video->width != 0 && video->height != 0) {
            return video->mpeg2 ? MediaKind::M2V : MediaKind::M1V;
        }
        if (ContainerOfHead(head) != ContainerKind::None) {
            const ContainerInfo info = ProbeContainer(head);
            if (info.mpegVideo) {
                return info.kind == ContainerKind::ProgramStream ? MediaKind::MPG : MediaKind::TS;
            }
        }
    }
    return MediaKind::Unknown;
}

MediaKind DetectFormat(const std::string& fileName, FormatOptions options) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return MediaKind::Unknown;
    }
    std::vector<std::uint8_t> head(DetectionHeadBytes(options));
    const std::size_t got = file.read(head.data(), head.size());
    const std::span<const std::uint8_t> bytes(head.data(), got);
    if (options.extended && ContainerOfHead(bytes) != ContainerKind::None) {
        file.close();
        const ContainerInfo info = ProbeContainerFile(fileName);
        if (!info.mpegVideo) {
            return MediaKind::Unknown;
        }
        return info.kind == ContainerKind::ProgramStream ? MediaKind::MPG : MediaKind::TS;
    }
    return DetectFormatOfBytes(bytes, options);
}

}  // namespace varnix
