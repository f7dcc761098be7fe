#include "formats/video_demux.h"

namespace varnix {

std::size_t PESPayloadOffset(std::span<const std::uint8_t> packet) {
    if (packet.size() < 9) {
        return 0;
    }
    if ((packet[6] & 0xC0) == 0x80) {
        // MPEG-2: two flag bytes and the length of the optional fields.
        const std::size_t offset = 9 + std::size_t{packet[8]};
        return offset <= packet.size() ? offset : 0;
    }
    // MPEG-1: up to 16 stuffing bytes, the buffer size, then the time stamps.
    std::size_t i = 6;
    for (int stuffing = 0; i < packet.size() && packet[i] == 0xFF; ++stuffing, ++i) {
        if (stuffing == 16) {
            return 0;
        }
    }
    if (i < packet.size() && (packet[i] & 0xC0) == 0x40) {
        i += 2;
    }
    if (i >= packet.size()) {
        return 0;
    }
    const std::uint8_t flags = packet[i] & 0xF0;
    if (flags == 0x20) {
        i += 5;
    } else if (flags == 0x30) {
        i += 10;
    } else if (packet[i] == 0x0F) {
        i += 1;
    } else {
        return 0;
    }
    return i <= packet.size() ? i : 0;
}

std::string HexText(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(text.size()) < digits) {
        text.insert(text.begin(), '0');
    }
    return "0x" + text;
}

}  // namespace varnix
