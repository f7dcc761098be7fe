#include "support/container_builders.h"

#include <algorithm>

namespace varnix::test {

namespace {

void Add(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void AddPacket(Bytes& out, std::uint8_t id, const Bytes& body) {
    Add(out, {0, 0, 1, id, static_cast<std::uint8_t>(body.size() >> 8),
              static_cast<std::uint8_t>(body.size())});
    out.insert(out.end(), body.begin(), body.end());
}

void AddPack(Bytes& out, bool mpeg1, int stuffing) {
    if (mpeg1) {
        Add(out, {0, 0, 1, 0xBA, 0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x1B, 0x91});
        return;
    }
    Add(out, {0, 0, 1, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3,
              static_cast<std::uint8_t>(0xF8 | stuffing)});
    out.insert(out.end(), static_cast<std::size_t>(stuffing), 0xFF);
}

}  // namespace

Bytes BuildProgramStream(const Bytes& es, const ProgramStreamLayout& layout) {
    Bytes out;
    int packs = 0;
    for (std::size_t at = 0; at < es.size(); at += layout.payloadBytes, ++packs) {
        AddPack(out, layout.mpeg1, packs % 8);
        if (layout.otherStreams && packs == 0) {
            AddPacket(out, 0xBB, Bytes(12, 0x80));
        }
        Bytes pes;
        if (layout.mpeg1) {
            // Stuffing, the buffer size, and a time stamp on every other packet.
            pes.insert(pes.end(), static_cast<std::size_t>(packs % 3), 0xFF);
            Add(pes, {0x60, 0xE8});
            if (packs % 2 == 0) {
                Add(pes, {0x21, 0x00, 0x01, 0x00, 0x01});
            } else {
                Add(pes, {0x0F});
            }
        } else {
            const std::uint8_t extra = static_cast<std::uint8_t>(packs % 2 == 0 ? 5 : 0);
            Add(pes, {0x81, static_cast<std::uint8_t>(extra != 0 ? 0x80 : 0x00), extra});
            pes.insert(pes.end(), extra, 0x21);
        }
        const std::size_t n = std::min(layout.payloadBytes, es.size() - at);
        pes.insert(pes.end(), es.begin() + static_cast<std::ptrdiff_t>(at),
                   es.begin() + static_cast<std::ptrdiff_t>(at + n));
        AddPacket(out, layout.videoId, pes);
        if (layout.otherStreams) {
            // Audio and private streams hold start-code look-alikes that must not reach the
            // video.
            AddPacket(out, 0xC0, {0x0F, 0x00, 0x00, 0x01, 0xB3, 0x00, 0x00, 0x01, 0x00});
            AddPacket(out, 0xBD, {0x81, 0x80, 0x00, 0x80, 0x00, 0x00, 0x01, 0xB8});
            AddPacket(out, 0xBE, Bytes(30, 0xFF));
        }
    }
    Add(out, {0, 0, 1, 0xB9});
    return out;
}

namespace {

class TransportWriter {
  public:
    explicit TransportWriter(const TransportStreamLayout& layout) : layout_(layout) {}

    // One packet of a PID whose payload is `payload` (at most 184 bytes; fewer are padded by an
    // adaptation field).
    std::size_t Packet(int pid, bool unitStart, const Bytes& payload) {
        const std::size_t start = out.size();
        if (layout_.packetSize == 192) {
            Add(out, {0x0E, 0xBF, 0x46, 0x22});
        }
        std::uint8_t& cc = continuity_[pid == kBuiltVideoPid ? 0 : (pid == 0 ? 1 : 2)];
        const std::size_t stuffing = 184 - payload.size();
        Add(out, {0x47, static_cast<std::uint8_t>((unitStart ? 0x40 : 0) | ((pid >> 8) & 0x1F)),
                  static_cast<std::uint8_t>(pid),
                  static_cast<std::uint8_t>((stuffing != 0 ? 0x30 : 0x10) | (cc & 0x0F))});
        cc = static_cast<std::uint8_t>(cc + 1);
        if (stuffing != 0) {
            out.push_back(static_cast<std::uint8_t>(stuffing - 1));
            if (stuffing > 1) {
                out.push_back(0x00);
                out.insert(out.end(), stuffing - 2, 0xFF);
            }
        }
        out.insert(out.end(), payload.begin(), payload.end());
        if (layout_.nullPackets && ++count_ % 10 == 0) {
            if (layout_.packetSize == 192) {
                Add(out, {0, 0, 0, 0});
            }
            Add(out, {0x47, 0x1F, 0xFF, 0x10});
            out.insert(out.end(), 184, 0xFF);
        }
        return start;
    }

    // A table section behind its pointer field, with a CRC that nothing checks.
    void Section(int pid, const Bytes& body) {
        Bytes payload = {0x00};
        payload.insert(payload.end(), body.begin(), body.end());
        Add(payload, {0xDE, 0xAD, 0xBE, 0xEF});
        Packet(pid, true, payload);
    }

    Bytes out;

  private:
    const TransportStreamLayout& layout_;
    std::uint8_t continuity_[3] = {0, 0, 0};
    int count_ = 0;
};

}  // namespace

TransportStream BuildTransportStream(const Bytes& es, const TransportStreamLayout& layout) {
    TransportWriter w(layout);
    TransportStream result;
    if (layout.withPAT) {
        // Program 0 (the network table) first, then program 1.
        w.Section(0, {0x00, 0xB0, 17, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x10, 0x00,
                      0x01, static_cast<std::uint8_t>(0xE0 | (kBuiltPMTPid >> 8)),
                      static_cast<std::uint8_t>(kBuiltPMTPid)});
    }
    if (layout.withPMT) {
        // An audio stream first, then the video, each with an empty descriptor loop.
        w.Section(kBuiltPMTPid, {0x02,
                                 0xB0,
                                 23,
                                 0x00,
                                 0x01,
                                 0xC1,
                                 0x00,
                                 0x00,
                                 0xE1,
                                 0x00,
                                 0xF0,
                                 0x00,
                                 0x03,
                                 0xE1,
                                 0x01,
                                 0xF0,
                                 0x00,
                                 static_cast<std::uint8_t>(layout.videoStreamType),
                                 static_cast<std::uint8_t>(0xE0 | (kBuiltVideoPid >> 8)),
                                 static_cast<std::uint8_t>(kBuiltVideoPid),
                                 0xF0,
                                 0x00});
    }
    for (std::size_t at = 0; at < es.size(); at += layout.pesBytes) {
        Bytes pes = {0, 0, 1, 0xE0, 0, 0, 0x80, 0x80, 0x05, 0x21, 0x00, 0x01, 0x00, 0x01};
        const std::size_t n = std::min(layout.pesBytes, es.size() - at);
        pes.insert(pes.end(), es.begin() + static_cast<std::ptrdiff_t>(at),
                   es.begin() + static_cast<std::ptrdiff_t>(at + n));
        for (std::size_t p = 0; p < pes.size(); p += 184) {
            const Bytes part(
                pes.begin() + static_cast<std::ptrdiff_t>(p),
                pes.begin() + static_cast<std::ptrdiff_t>(std::min(p + 184, pes.size())));
            result.videoPackets.push_back(w.Packet(kBuiltVideoPid, p == 0, part));
        }
    }
    result.bytes = std::move(w.out);
    return result;
}

}  // namespace varnix::test
