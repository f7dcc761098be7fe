// Fuzz bodies of the probe and of the four audio readers.

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/file.h"
#include "core/timecode.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"
#include "harness.h"
#include "probe/media_duration.h"
#include "probe/report.h"

namespace varnix::fuzz {

namespace {

// The file name a user would give the bytes: the extension of their kind.
std::string NameForKind(Bytes data) {
    const MediaKind kind = DetectFormatOfBytes(data);
    return "input" + (kind == MediaKind::Unknown ? std::string(".bin") : MediaKindText(kind));
}

}  // namespace

void FuzzProbe(Bytes data) {
    ClearWorkFolder();
    const std::string input = WriteWorkFile(NameForKind(data), data);
    const MediaKind kind = DetectFormat(input);
    Check(kind == DetectFormatOfBytes(data), "DetectFormat differs from the bytes' kind");
    try {
        const TimeCode pal = GetMediaDuration(input, nullptr, nullptr, 25.0);
        const TimeCode ntsc = GetMediaDuration(input, nullptr, nullptr, 30.0);
        if (kind == MediaKind::Unknown) {
            Check(pal.IsNone() && ntsc.IsNone(), "a file of no known kind has a duration");
        }
        const std::string report = ShowMediaInformation(input, false, nullptr);
        Check(!report.empty(), "an empty report");
        // An audio file's report and its duration in the durations list agree.
        if (!IsVideoKind(kind) && !pal.IsNone() && report != kUnknownFileFormat) {
            Check(report.find("Play Time (PAL): " + TimeCodeRateText(pal, 25.0) + "\r\n") !=
                      std::string::npos,
                  "the report's PAL play time is not the file's duration");
        }
    } catch (const VarnixError&) {
        // Reported to the user by the front end; not a crash.
    }
    Check(ReadWholeFile(input) == std::vector<std::uint8_t>(data.begin(), data.end()),
          "probing changed the input");
}

void FuzzMPA(Bytes data) {
    ClearWorkFolder();
    const std::string input = WriteWorkFile("input.mp2", data);
    const std::optional<MPAInfo> foundWhole = ReadMPAInfo(input, true);
    const std::optional<MPAInfo> foundFirst = ReadMPAInfo(input, false);
    Check(foundWhole.has_value() == foundFirst.has_value(), "the first frame depends on the walk");
    const MPAInfo whole = foundWhole.value_or(MPAInfo{});
    const MPAInfo first = foundFirst.value_or(MPAInfo{});
    Check(whole.version == first.version && whole.layer == first.layer &&
              whole.bitRate == first.bitRate && whole.sampleRate == first.sampleRate &&
              whole.channelMode == first.channelMode,
          "the first frame's values depend on the walk");
    Check(first.frameCount <= 1 && first.totalSamples <= 1152, "the first-frame walk went on");
    Check(whole.totalSamples <= whole.frameCount * 1152, "more samples than frames can hold");
    Check(whole.frameCount <= data.size() / 4 + 1, "more frames than the file can hold");
}

void FuzzWAV(Bytes data) {
    ClearWorkFolder();
    const std::string input = WriteWorkFile("input.wav", data);
    const WAVHeader byName = ReadWAVHeader(input);
    BinaryFile file(input, BinaryFile::Mode::Read);
    Check(file.isOpen(), "the input cannot be opened");
    const WAVHeader byFile = ReadWAVHeaderFrom(file);
    const std::int64_t position = file.tell();
    file.close();
    SpanSource source(data);
    const WAVLayout layout = ReadWAVLayoutOf(source);
    Check(byName.toBytes() == byFile.toBytes(), "the header depends on how the file is opened");
    Check(layout.header.toBytes() == byName.toBytes(), "the header differs from the chunk walk");

    const std::uint64_t size = data.size();
    if (layout.dataFound) {
        Check(position == static_cast<std::int64_t>(layout.dataStart),
              "the open file is not left at the first sample byte");
        Check(layout.dataStart <= size && layout.dataSize <= size - layout.dataStart,
              "the data chunk reaches past the end of the file");
        const std::uint32_t declared = layout.header.dataSize;
        if (declared != 0 && declared <= size - layout.dataStart) {
            Check(layout.dataSize == declared, "a declared data size that fits was not taken");
        } else {
            Check(layout.dataSize == size - layout.dataStart,
                  "an unfinished data chunk does not run to the end of the file");
        }
    } else {
        Check(position == static_cast<std::int64_t>(size), "no data, yet not at the end");
        Check(layout.dataSize == 0, "a data size without a data chunk");
    }

    // The header rewrite of a file Varnix wrote: canonical sizes, format kept, samples untouched.
    const std::string copy = WriteWorkFile("copy.wav", data);
    const bool fixed = FixWAVHeader(copy);
    Check(fixed == (size >= WAVHeader::kSize), "the header rewrite refused a file long enough");
    const auto after = ReadWholeFile(copy);
    Check(after.size() == size, "the header rewrite changed the file size");
    if (fixed) {
        const WAVHeader h = WAVHeader::fromBytes(after);
        Check(h.isRiffWave() && std::memcmp(h.fmtId.data(), "fmt ", 4) == 0 &&
                  std::memcmp(h.dataId.data(), "data", 4) == 0,
              "the rewritten header lacks its ids");
        Check(h.fmtSize == 16 && h.riffSize == size - 8 && h.dataSize == size - 44,
              "the rewritten header's sizes are wrong");
        Check(std::equal(after.begin() + 20, after.begin() + 36, data.begin() + 20),
              "the rewrite changed the format fields");
        Check(std::equal(after.begin() + 44, after.end(), data.begin() + 44),
              "the rewrite touched the samples");
    }
}

void FuzzAC3DTS(Bytes data) {
    ClearWorkFolder();
    const std::string input = WriteWorkFile("input.dts", data);
    const std::uint64_t size = data.size();

    // AC3: the queries, and the frame starts of one walk against the layout.
    GetAC3SampleRateCode(input);
    GetAC3ChannelMode(input);
    GetAC3LFE(input);
    GetAC3BitStreamMode(input);
    GetAC3BitRateIndex(input);
    const std::uint32_t length = GetAC3FrameBytes(input);
    const std::uint64_t samples = GetAC3TotalSamples(input);
    Check(length != 0 || samples == 0, "samples without a frame length");
    if (length != 0) {
        Check(samples / kAC3SamplesPerFrame <= size / 64 + 1, "more frames than bytes allow");
    }
    FileSource source(input);
    const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source, true);
    Check(layout.firstFrameBytes == length, "the layout's frame length differs");
    if (!layout.uniform) {
        Check(layout.frameStarts.size() == layout.frameCount + 1, "walked starts miscounted");
        Check(std::is_sorted(layout.frameStarts.begin(), layout.frameStarts.end()) &&
                  layout.frameStarts.back() <= size,
              "walked starts out of order or past the end");
    }
    std::vector<std::uint64_t> indices;
    for (std::uint64_t i = 0; i <= layout.frameCount + 2 && i < 64; ++i) {
        indices.push_back(i);
    }
    indices.push_back(layout.frameCount);
    indices.push_back(layout.frameCount + 1);
    std::sort(indices.begin(), indices.end());
    const auto starts = FindAC3FrameStarts(source, indices, true);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::uint64_t expected = length == 0 ? 0 : layout.frameStart(indices[i]);
        Check(starts[i] == expected, "a frame start differs from the layout's");
        Check(starts[i] <= size, "a frame start past the end");
    }

    // DTS: the record, the queries and the header report.
    const std::optional<DTSHeader> byName = ReadDTSHeader(input, false);
    const std::optional<DTSHeader> forcedHeader = ReadDTSHeader(input, true);
    const bool synced = byName.has_value();
    Check(synced == forcedHeader.has_value(), "the name changed the header");
    const DTSHeader forced = forcedHeader.value_or(DTSHeader{});
    DTSHeader fromBytes;
    fromBytes.decode(data);
    Check(!synced ||
              (forced.frameType == fromBytes.frameType && forced.deficit == fromBytes.deficit &&
               forced.blocks == fromBytes.blocks && forced.frameBytes == fromBytes.frameBytes &&
               forced.channelCode == fromBytes.channelCode &&
               forced.rateIndex == fromBytes.rateIndex &&
               forced.bitRateCode == fromBytes.bitRateCode),
          "the record differs from the bytes");
    const std::uint64_t frames = GetDTSFrameCount(input);
    Check(!synced ? frames == 0 : frames <= size, "a frame count without frames");
    GetDTSSampleRate(input);
    GetDTSLFE(input);
    const std::string report = DTSHeaderReport(input);
    const bool syncBytes = data.size() >= 4 && data[0] == 0x7F && data[1] == 0xFE &&
                           data[2] == 0x80 && data[3] == 0x01;
    Check(report.rfind(syncBytes ? "Synk ... Ok\r\n" : "Sync ... Fail\r\n", 0) == 0,
          "the report's sync line is wrong");
}

}  // namespace varnix::fuzz
