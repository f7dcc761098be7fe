#include "formats/video_sniff.h"

namespace varnix {

namespace {

constexpr std::uint8_t kSequenceHeader = 0xB3;
constexpr std::uint8_t kExtension = 0xB5;
constexpr std::uint8_t kGOP = 0xB8;
constexpr std::uint8_t kPicture = 0x00;
constexpr std::uint8_t kSequenceExtensionId = 1;

}  // namespace

std::optional<ElementaryVideoHead> SniffElementaryVideo(std::span<const std::uint8_t> head) {
    if (head.size() < 7 || head[0] != 0 || head[1] != 0 || head[2] != 1 ||
        head[3] != kSequenceHeader) {
        return std::nullopt;
    }
    ElementaryVideoHead result;
    result.width = (std::uint32_t{head[4]} << 4) | (head[5] >> 4);
    result.height = ((std::uint32_t{head[5]} & 0x0F) << 8) | head[6];
    // The quantiser matrices hold no zero byte, so the next prefix is the next start code.
    for (std::size_t i = 7; i + 3 < head.size(); ++i) {
        if (head[i] != 0 || head[i + 1] != 0 || head[i + 2] != 1) {
            continue;
        }
        const std::uint8_t code = head[i + 3];
        if (code == kExtension) {
            if (i + 4 < head.size() && (head[i + 4] >> 4) == kSequenceExtensionId) {
                result.mpeg2 = true;
                break;
            }
        } else if (code == kPicture || code == kGOP || code == kSequenceHeader) {
            break;
        }
    }
    return result;
}

const char* ElementaryVideoName(const ElementaryVideoHead& head) {
    return head.mpeg2 ? "MPEG-2 video" : "MPEG-1 video";
}

}  // namespace varnix
