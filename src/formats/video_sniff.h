#pragma once
// What the first bytes of an MPEG video elementary stream say without a scan: the picture size
// of the leading sequence header, and whether a sequence extension (MPEG-2) follows it before the
// first picture.

#include <cstdint>
#include <optional>
#include <span>

namespace varnix {

struct ElementaryVideoHead {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool mpeg2 = false;  // a sequence extension follows the sequence header
};

// None unless `head` begins with a sequence header (00 00 01 B3) whose sizes it holds. The search
// for the extension stops at the first picture, GOP or the end of `head`.
std::optional<ElementaryVideoHead> SniffElementaryVideo(std::span<const std::uint8_t> head);

// The text of a picture kind for messages: "MPEG-2 video" or "MPEG-1 video".
const char* ElementaryVideoName(const ElementaryVideoHead& head);

}  // namespace varnix
