#include "formats/ps_demux.h"

namespace varnix {

namespace {

constexpr std::uint8_t kPack = 0xBA;
constexpr std::uint8_t kProgramEnd = 0xB9;
constexpr std::uint8_t kSystemHeader = 0xBB;

bool IsPrefix(std::span<const std::uint8_t> data, std::size_t pos) {
    return data[pos] == 0 && data[pos + 1] == 0 && data[pos + 2] == 1;
}

bool IsVideoStream(std::uint8_t id) {
    return id >= 0xE0 && id <= 0xEF;
}

}  // namespace

std::size_t PackHeaderBytes(std::span<const std::uint8_t> data) {
    if (data.size() < 5 || !IsPrefix(data, 0) || data[3] != kPack) {
        return 0;
    }
    if ((data[4] & 0xC0) == 0x40) {  // MPEG-2: 14 bytes and 0..7 stuffing bytes
        return data.size() < 14 ? 0 : 14 + std::size_t{data[13] & 7u};
    }
    if ((data[4] & 0xF0) == 0x20) {  // MPEG-1
        return 12;
    }
    return 0;
}

bool StartsWithPackHeader(std::span<const std::uint8_t> data) {
    return data.size() >= 5 && IsPrefix(data, 0) && data[3] == kPack &&
           ((data[4] & 0xC0) == 0x40 || (data[4] & 0xF0) == 0x20);
}

std::size_t ProgramStreamDemuxer::Resync(std::span<const std::uint8_t> data, std::size_t pos,
                                         std::int64_t filePosition, bool atEnd) {
    const std::size_t start = pos;
    while (pos + 4 <= data.size() && !(IsPrefix(data, pos) && data[pos + 3] >= kProgramEnd)) {
        ++pos;
    }
    skippedBytes_ += pos - start;
    if (pos + 4 > data.size() && atEnd) {
        skippedBytes_ += data.size() - pos;
        pos = data.size();
    }
    if (pos + 4 <= data.size() || atEnd) {
        if (skippedBytes_ != 0) {
            Note("skipped " + std::to_string(skippedBytes_) +
                 " bytes that are no program stream before position " +
                 std::to_string(filePosition + static_cast<std::int64_t>(pos)));
            skippedBytes_ = 0;
        }
    }
    return pos;
}

std::size_t ProgramStreamDemuxer::Feed(std::span<const std::uint8_t> data,
                                       std::int64_t filePosition, bool atEnd,
                                       const PayloadSink& sink) {
    std::size_t pos = 0;
    while (!Finished() && pos + 4 <= data.size()) {
        if (!IsPrefix(data, pos) || data[pos + 3] < kProgramEnd) {
            pos = Resync(data, pos, filePosition, atEnd);
            continue;
        }
        const std::span<const std::uint8_t> unit = data.subspan(pos);
        const std::uint8_t code = unit[3];
        if (code == kProgramEnd) {
            pos += 4;
            continue;
        }
        if (code == kPack) {
            const std::size_t bytes = PackHeaderBytes(unit);
            if (bytes == 0 || bytes > unit.size()) {
                if (!atEnd && unit.size() < 14 + 7) {
                    break;  // wait for the whole header
                }
                Note("a broken pack header at position " +
                     std::to_string(filePosition + static_cast<std::int64_t>(pos)));
                pos = Resync(data, pos + 4, filePosition, atEnd);
                continue;
            }
            if (!anyPack_) {
                anyPack_ = true;
                mpeg1Packs_ = (unit[4] & 0xF0) == 0x20;
            }
            ++packs_;
            pos += bytes;
            continue;
        }
        // A PES packet, or the system header, which has the same length field.
        if (unit.size() < 6) {
            break;
        }
        const std::size_t total = 6 + ((std::size_t{unit[4]} << 8) | unit[5]);
        if (total > unit.size()) {
            if (!atEnd) {
                break;  // wait for the whole packet (at most 64 KiB)
            }
            Note("a packet at position " +
                 std::to_string(filePosition + static_cast<std::int64_t>(pos)) +
                 " runs past the end of the file");
        }
        const std::span<const std::uint8_t> packet = unit.first(std::min(total, unit.size()));
        if (code != kSystemHeader && IsVideoStream(code) &&
            (videoStreamId_ < 0 || code == videoStreamId_)) {
            // A wrong length would take the next packs for video: the next unit must start
            // where this one ends.
            if (total == 6 || (total + 3 <= unit.size() && !IsPrefix(unit, total))) {
                Note("a video packet at position " +
                     std::to_string(filePosition + static_cast<std::int64_t>(pos)) +
                     " has a wrong length");
                pos = Resync(data, pos + 4, filePosition, atEnd);
                continue;
            }
            const std::size_t offset = PESPayloadOffset(packet);
            if (offset != 0) {
                videoStreamId_ = code;
                ++videoPackets_;
                if (offset < packet.size()) {
                    sink(filePosition + static_cast<std::int64_t>(pos + offset),
                         packet.subspan(offset));
                }
            }
        }
        pos += packet.size();
    }
    if (atEnd) {
        return data.size();
    }
    return pos;
}

}  // namespace varnix
