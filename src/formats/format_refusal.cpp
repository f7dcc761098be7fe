#include "formats/format_refusal.h"

#include <vector>

#include "core/file.h"
#include "formats/container_probe.h"
#include "formats/detect.h"
#include "formats/video_sniff.h"

namespace varnix {

namespace {

FormatRefusal ElementaryVideoRefusal(const ElementaryVideoHead& video, bool extended) {
    if (video.width == 0 || video.height == 0) {
        return {"MPEG video sequence header with a picture size of 0", false};
    }
    if (extended) {
        return {};
    }
    return {std::string(ElementaryVideoName(video)) + " " + std::to_string(video.width) + " wide",
            true};
}

FormatRefusal ContainerRefusal(const ContainerInfo& info, bool extended) {
    if (!info.mpegVideo) {
        return {info.KindName() + ": " + info.problem, false};
    }
    if (extended) {
        return {};
    }
    return {info.KindName(), true};
}

}  // namespace

FormatRefusal WhyRefusedBytes(std::span<const std::uint8_t> head, FormatOptions options) {
    if (ContainerOfHead(head) != ContainerKind::None) {
        return ContainerRefusal(ProbeContainer(head), options.extended);
    }
    if (DetectFormatOfBytes(head, options) != MediaKind::Unknown) {
        return {};
    }
    if (const auto video = SniffElementaryVideo(head)) {
        return ElementaryVideoRefusal(*video, options.extended);
    }
    return {};
}

FormatRefusal WhyRefused(const std::string& fileName, FormatOptions options) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return {};
    }
    std::vector<std::uint8_t> head(DetectionHeadBytes(FormatOptions{true}));
    const std::size_t got = file.read(head.data(), head.size());
    const std::span<const std::uint8_t> bytes(head.data(), got);
    if (ContainerOfHead(bytes) != ContainerKind::None) {
        file.close();
        return ContainerRefusal(ProbeContainerFile(fileName), options.extended);
    }
    return WhyRefusedBytes(bytes, options);
}

std::string RefusalText(const FormatRefusal& refusal, const std::string& extendedOption) {
    if (refusal.extendedAccepts) {
        return refusal.reason + ": accepted with " + extendedOption;
    }
    return refusal.reason;
}

}  // namespace varnix
