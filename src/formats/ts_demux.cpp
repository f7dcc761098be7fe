#include "formats/ts_demux.h"

#include <algorithm>

namespace varnix {

namespace {

constexpr int kPATPid = 0;
constexpr int kNullPid = 0x1FFF;
constexpr std::size_t kMaxSection = 4096;
constexpr unsigned kMpeg1Video = 0x01;
constexpr unsigned kMpeg2Video = 0x02;

std::string At(std::int64_t position) {
    return "position " + std::to_string(position);
}

}  // namespace

std::size_t TransportPacketSize(std::span<const std::uint8_t> head) {
    for (const std::size_t size : {std::size_t{188}, std::size_t{192}}) {
        const std::size_t sync = size - 188;
        if (head.size() > sync + 2 * size && head[sync] == kTSSync &&
            head[sync + size] == kTSSync && head[sync + 2 * size] == kTSSync) {
            return size;
        }
    }
    return 0;
}

std::size_t TransportStreamDemuxer::Resync(std::span<const std::uint8_t> data,
                                           std::size_t pos) const {
    const std::size_t sync = packetSize_ - 188;
    for (std::size_t p = pos; p + packetSize_ <= data.size(); ++p) {
        bool ok = true;
        for (std::size_t k = 0; k < 3 && ok; ++k) {
            const std::size_t at = p + sync + k * packetSize_;
            if (at < data.size()) {
                ok = data[at] == kTSSync;
            }
        }
        if (ok) {
            return p;
        }
    }
    return data.size();
}

std::size_t TransportStreamDemuxer::Feed(std::span<const std::uint8_t> data,
                                         std::int64_t filePosition, bool atEnd,
                                         const PayloadSink& sink) {
    const std::size_t sync = packetSize_ - 188;
    std::size_t pos = 0;
    while (!Finished() && pos + packetSize_ <= data.size()) {
        if (data[pos + sync] != kTSSync) {
            // Look for three sync bytes a packet apart; near the end of the bytes at hand the
            // search needs more of them.
            const bool canDecide = atEnd || pos + 4 * packetSize_ <= data.size();
            if (syncLostAt_ < 0) {
                syncLostAt_ = filePosition + std::int64_t(pos);
            }
            if (!canDecide) {
                break;
            }
            const std::size_t next = Resync(data, pos);
            if (next == data.size()) {
                if (atEnd) {
                    Note("the sync bytes stop at " + At(syncLostAt_) +
                         ": the rest of the file is not read");
                    Finish();
                    break;
                }
                pos = data.size() - 3 * packetSize_;
                continue;
            }
            const std::int64_t found = filePosition + std::int64_t(next);
            Note("lost the packet sync at " + At(syncLostAt_) + ", found it again " +
                 std::to_string(found - syncLostAt_) + " bytes later");
            syncLostAt_ = -1;
            waitForUnitStart_ = true;
            pos = next;
            continue;
        }
        Packet(data.subspan(pos + sync, 188), filePosition + std::int64_t(pos + sync), sink);
        pos += packetSize_;
    }
    return atEnd ? data.size() : pos;
}

void TransportStreamDemuxer::Packet(std::span<const std::uint8_t> packet, std::int64_t position,
                                    const PayloadSink& sink) {
    if ((packet[1] & 0x80) != 0) {
        return;  // transport_error_indicator: the packet is known to be damaged
    }
    const bool unitStart = (packet[1] & 0x40) != 0;
    const int pid = ((packet[1] & 0x1F) << 8) | packet[2];
    const unsigned control = (packet[3] >> 4) & 3u;
    if (pid == kNullPid || (control & 1u) == 0) {
        return;  // stuffing, or an adaptation field without payload
    }
    std::size_t payload = 4;
    bool discontinuity = false;
    if ((control & 2u) != 0) {
        const std::size_t length = packet[4];
        discontinuity = length > 0 && (packet[5] & 0x80) != 0;
        payload = 5 + length;
        if (payload >= packet.size()) {
            return;
        }
    }
    if (pid == kPATPid || pid == pmtPid_) {
        Section(pid, packet.subspan(payload), unitStart);
    } else if (pid == videoPid_) {
        const int continuity = packet[3] & 0x0F;
        if (lastContinuity_ >= 0 && !discontinuity) {
            if (continuity == lastContinuity_) {
                return;  // a packet sent twice
            }
            const int lost = (continuity - lastContinuity_ - 1) & 0x0F;
            if (lost != 0) {
                lostPackets_ += static_cast<std::uint64_t>(lost);
                Note(std::to_string(lost) + " packet(s) of the video lost before " + At(position) +
                     "; the scan goes on at the next picture data");
                waitForUnitStart_ = true;
            }
        }
        lastContinuity_ = continuity;
        Video(packet, payload, unitStart, position, sink);
    }
}

void TransportStreamDemuxer::Video(std::span<const std::uint8_t> packet, std::size_t payload,
                                   bool unitStart, std::int64_t position, const PayloadSink& sink) {
    std::span<const std::uint8_t> bytes = packet.subspan(payload);
    if (unitStart) {
        const std::size_t offset =
            bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1
                ? PESPayloadOffset(bytes)
                : 0;
        if (offset == 0) {
            Note("a video packet at " + At(position) + " starts no readable PES header");
            waitForUnitStart_ = true;
            return;
        }
        waitForUnitStart_ = false;
        payload += offset;
        bytes = bytes.subspan(offset);
    }
    if (!waitForUnitStart_ && !bytes.empty()) {
        sink(position + static_cast<std::int64_t>(payload), bytes);
    }
}

void TransportStreamDemuxer::Section(int pid, std::span<const std::uint8_t> payload,
                                     bool unitStart) {
    std::vector<std::uint8_t>& section = pid == kPATPid ? patSection_ : pmtSection_;
    if (unitStart) {
        const std::size_t pointer = payload[0];
        if (1 + pointer >= payload.size()) {
            section.clear();
            return;
        }
        section.assign(payload.begin() + static_cast<std::ptrdiff_t>(1 + pointer), payload.end());
    } else if (section.empty()) {
        return;
    } else if (section.size() + payload.size() <= kMaxSection) {
        section.insert(section.end(), payload.begin(), payload.end());
    }
    if (section.size() < 3) {
        return;
    }
    const std::size_t length = 3 + (((section[1] & 0x0Fu) << 8) | section[2]);
    if (section.size() < length) {
        return;
    }
    const std::vector<std::uint8_t> whole(section.begin(),
                                          section.begin() + static_cast<std::ptrdiff_t>(length));
    section.clear();
    if (pid == kPATPid) {
        ParsePAT(whole);
    } else {
        ParsePMT(whole);
    }
}

// The first program of the table (program number 0 names the network table) gives the PMT.
void TransportStreamDemuxer::ParsePAT(std::span<const std::uint8_t> section) {
    if (section.size() < 12 || section[0] != 0x00 || patSeen_) {
        return;
    }
    patSeen_ = true;
    for (std::size_t i = 8; i + 4 <= section.size() - 4; i += 4) {
        const unsigned program = (unsigned{section[i]} << 8) | section[i + 1];
        if (program != 0) {
            pmtPid_ = ((section[i + 2] & 0x1F) << 8) | section[i + 3];
            return;
        }
    }
}

void TransportStreamDemuxer::ParsePMT(std::span<const std::uint8_t> section) {
    if (section.size() < 16 || section[0] != 0x02 || pmtSeen_) {
        return;
    }
    pmtSeen_ = true;
    const std::size_t end = section.size() - 4;  // the CRC
    std::size_t i = 12 + (((section[10] & 0x0Fu) << 8) | section[11]);
    while (i + 5 <= end) {
        const unsigned type = section[i];
        const int pid = ((section[i + 1] & 0x1F) << 8) | section[i + 2];
        streamTypes_.push_back(type);
        if (videoPid_ < 0 && (type == kMpeg1Video || type == kMpeg2Video)) {
            videoPid_ = pid;
            videoStreamType_ = type;
        }
        i += 5 + (((section[i + 3] & 0x0Fu) << 8) | section[i + 4]);
    }
}

}  // namespace varnix
