// Fuzz bodies of the program and transport stream demuxers: every payload byte handed on is the
// file's byte at the position given with it, however the file's bytes are cut into reads, and the
// scan of what detection takes ends.

#include <algorithm>
#include <memory>

#include "core/errors.h"
#include "formats/container_probe.h"
#include "formats/detect.h"
#include "formats/ps_demux.h"
#include "formats/ts_demux.h"
#include "harness.h"
#include "video/m2v_stream.h"

namespace varnix::fuzz {

namespace {

struct Piece {
    std::int64_t position;
    std::vector<std::uint8_t> bytes;
};

// Feeds `file` in reads of the sizes `cut` picks, as the scan's reader does: the bytes the
// demuxer leaves are passed again with the next read behind them.
std::vector<std::uint8_t> Demux(VideoDemuxer& demuxer, Bytes file, std::size_t step) {
    std::vector<std::uint8_t> payload;
    const PayloadSink sink = [&](std::int64_t position, std::span<const std::uint8_t> bytes) {
        Check(position >= 0 && static_cast<std::size_t>(position) + bytes.size() <= file.size(),
              "payload outside the file");
        Check(std::equal(bytes.begin(), bytes.end(), file.begin() + position),
              "payload that is not the file's bytes at its position");
        payload.insert(payload.end(), bytes.begin(), bytes.end());
    };
    std::size_t taken = 0;
    std::size_t available = std::min(file.size(), step);
    while (!demuxer.Finished()) {
        const bool atEnd = available == file.size();
        const std::size_t used = demuxer.Feed(file.subspan(taken, available - taken),
                                              static_cast<std::int64_t>(taken), atEnd, sink);
        Check(used <= available - taken, "a demuxer took more than it was given");
        taken += used;
        if (atEnd) {
            Check(taken == file.size(), "a demuxer left bytes at the end of the file");
            break;
        }
        // Read on; a demuxer that took nothing gets the largest unit's worth more.
        available = std::min(file.size(), available + std::max<std::size_t>(step, 70000));
    }
    return payload;
}

void ScanIfTaken(Bytes file) {
    const std::string input = WriteWorkFile("input.bin", file);
    if (!IsVideoKind(DetectFormat(input, {.extended = true}))) {
        return;
    }
    try {
        TM2VStream stream(input);
        stream.SetCache(false);
        stream.SetMessageCallback([](const std::string&) {});
        stream.Scan(true, true);
        Check(stream.Results().frames >= 0, "a negative frame count");
    } catch (const EParserFileException&) {
        // A stream whose video gave no byte: said through the host.
    }
}

void Compare(VideoDemuxer& whole, VideoDemuxer& inReads, Bytes file, std::size_t step) {
    const auto all = Demux(whole, file, file.size());
    const auto parts = Demux(inReads, file, step);
    Check(all == parts, "the payload depends on how the file was read");
}

}  // namespace

void FuzzProgramStream(Bytes data) {
    ClearWorkFolder();
    if (data.empty()) {
        return;
    }
    const std::size_t step = 1 + data[0] * 37u;
    const Bytes file = data.subspan(1);
    ProgramStreamDemuxer whole;
    ProgramStreamDemuxer inReads;
    Compare(whole, inReads, file, step);
    ProbeContainer(file);
    ScanIfTaken(file);
}

void FuzzTransportStream(Bytes data) {
    ClearWorkFolder();
    if (data.empty()) {
        return;
    }
    const std::size_t packetSize = (data[0] & 1) != 0 ? 192 : 188;
    const std::size_t step = 1 + (data[0] >> 1) * 53u;
    const Bytes file = data.subspan(1);
    TransportStreamDemuxer whole(packetSize);
    TransportStreamDemuxer inReads(packetSize);
    Compare(whole, inReads, file, step);
    ProbeContainer(file);
    ScanIfTaken(file);
}

}  // namespace varnix::fuzz
