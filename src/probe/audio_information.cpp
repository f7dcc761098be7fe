#include "probe/audio_information.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/timecode.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/mpa_frame.h"
#include "formats/wav.h"

namespace varnix {

namespace {

RatedTimeCode PlayTime(bool dropFrame, double fps, std::uint32_t rate, std::uint64_t samples) {
    TimeCode tc = CountToDuration(dropFrame, fps, rate, static_cast<std::int64_t>(samples));
    if (tc.IsNone()) {
        tc = TimeCode{};
    }
    return RatedTimeCode{tc, fps};
}

MediaInformation Record(MediaKind kind, const std::string& fileName, std::uint64_t fileSize,
                        std::string audioType) {
    MediaInformation info;
    info.kind = kind;
    info.fileName = fileName;
    info.fields.push_back(NumberField("fileSize", "File size: ", fileSize));
    info.fields.push_back(TextField("audioType", "Audio Type: ", std::move(audioType)));
    return info;
}

void AddPlayTimes(MediaInformation& info, std::uint32_t sampleRate, std::uint64_t samples) {
    const std::vector<InfoField> times = PlayTimeFields(sampleRate, samples);
    info.fields.insert(info.fields.end(), times.begin(), times.end());
}

}  // namespace

std::vector<InfoField> PlayTimeFields(std::uint32_t sampleRate, std::uint64_t samples) {
    return {
        TimeField("playTimePal", "Play Time (PAL): ", PlayTime(false, 25.0, sampleRate, samples),
                  {}, InfoPlacement::AfterEmptyLine),
        TimeField("playTimeNtsc", "Play Time (NTSC) Non Drop Frame: ",
                  PlayTime(false, 30.0, sampleRate, samples), std::string(12, ' ')),
        TimeField("playTimeNtscDropFrame",
                  "Play Time (NTSC) Drop Frame: ", PlayTime(true, 30.0, sampleRate, samples))};
}

MediaInformation AC3Information(const std::string& fileName) {
    // One read of the first header for every field, and the frame walk over the same file.
    FileSource source(fileName);
    std::array<std::uint8_t, kAC3QueryBytes> head{};
    std::size_t got = 0;
    AC3FrameLayout layout;
    try {
        got = source.readAt(0, head);
        layout = ReadAC3FrameLayoutOf(source);
    } catch (const IoError&) {
        // Values that cannot be read show as 0.
    }
    AC3Header h;
    h.decode(std::span<const std::uint8_t>(head.data(), got));
    // The sample rate and the frame length need the first 7 bytes, the other fields 10.
    const bool headerRead = got >= kAC3HeaderBytes;
    const bool fieldsRead = got >= kAC3QueryBytes;
    const unsigned fscod = headerRead ? h.fscod : 0;
    const unsigned acmod = fieldsRead ? h.acmod : 0;
    const bool lfe = fieldsRead && h.lfeon;
    const unsigned bsmod = fieldsRead ? h.bsmod : 0;
    const unsigned bitRateIndex = fieldsRead ? h.bitRateIndex() : 0;
    const std::uint32_t frameBytes = headerRead && h.sync ? h.frameBytes() : 0;
    const std::uint32_t rate = AC3SampleRate(fscod);
    const std::uint64_t samples = layout.totalSamples();

    MediaInformation info = Record(MediaKind::AC3, fileName, source.size(), "AC3");
    auto& f = info.fields;
    f.push_back(TextField("system", "System: ", AC3SystemText(acmod, lfe)));
    f.push_back(NumberField("bitRateKbps", "Bit Rate: ", AC3BitRate(bitRateIndex) / 1000, " Kbps"));
    f.push_back(NumberField("sampleRate", "Sample Rate: ", rate, " Hz"));
    f.push_back(TextField("channels", "Channels: ", AC3ChannelModeNames[acmod & 7]));
    f.push_back(NumberField("audioCodingMode", " (code: ", acmod, ")", InfoPlacement::SameLine));
    f.push_back(FlagField("lfe", "LFE on: ", lfe));
    f.push_back(TextField("bitStreamMode", "BsMode: ", AC3BitStreamModeNames[bsmod & 7]));
    f.push_back(NumberField("samples", "Samples: ", samples));
    f.push_back(NumberField("frames", "Frames: ", samples / kAC3SamplesPerFrame));
    f.push_back(NumberField("frameLength", "Frame Length: ", frameBytes));
    AddPlayTimes(info, rate, samples);
    return info;
}

MediaInformation DTSInformation(const std::string& fileName) {
    // One read of the core header for every field, and the frame count over the same file.
    FileSource source(fileName);
    std::array<std::uint8_t, kDTSCoreHeaderBytes> head{};
    std::size_t got = 0;
    std::uint64_t frames = 0;
    try {
        got = source.readAt(0, head);
        frames = CountDTSFrames(source);
    } catch (const IoError&) {
        // Values that cannot be read show as 0.
    }
    const std::span<const std::uint8_t> bytes(head.data(), got);
    // The record of the first 10 bytes; zero without the sync word.
    DTSHeader header;
    header.decode(bytes.first(std::min(got, kDTSHeaderBytes)));
    // Every field needs the whole core header; the system line also the sync word.
    DTSCoreHeader core;
    const bool coreRead = got >= kDTSCoreHeaderBytes;
    const bool synced = core.decode(bytes) && coreRead;
    const std::uint32_t rate = coreRead ? DTSSampleRate(core.sfreq) : 0;
    const bool lfe = coreRead && core.lff != 0;
    const std::uint64_t samples = frames * kDTSSamplesPerFrame;

    MediaInformation info = Record(MediaKind::DTS, fileName, source.size(), "DTS");
    auto& f = info.fields;
    f.push_back(TextField("system", "System: ",
                          "DTS " + std::to_string(DTSChannelCount(synced ? core.amode : 0)) +
                              (synced && core.lff != 0 ? ".1" : ".0")));
    if (header.bitRateCode == 30) {
        f.push_back(TextField("bitRateKbps", "Bit Rate: ", "Variable"));
    } else if (header.bitRateCode == 31) {
        f.push_back(TextField("bitRateKbps", "Bit Rate: ", "Lossless"));
    } else {
        f.push_back(DecimalField("bitRateKbps",
                                 "Bit Rate: ", DTSBitRate(header.bitRateCode) / 1000.0, " Kbps"));
    }
    f.push_back(NumberField("sampleRate", "Sample Rate: ", rate, " Hz"));
    f.push_back(TextField("channels", "Channels: ", DTSChannelLongName(header.channelCode)));
    f.push_back(FlagField("lfe", "LFE on: ", lfe));
    f.push_back(NumberField("samples", "Samples: ", samples));
    f.push_back(NumberField("frames", "Frames: ", frames));
    f.push_back(NumberField("frameBytes", "Frame size (bytes): ", header.frameBytes));
    AddPlayTimes(info, rate, samples);
    return info;
}

MediaInformation MPAInformation(const std::string& fileName) {
    MPAInfo mpa;
    try {
        mpa = ReadMPAInfo(fileName, true).value_or(MPAInfo{});
    } catch (const IoError&) {
        // Values that cannot be read show as 0.
    }
    MediaInformation info = Record(MediaKind::MPA, fileName, FileSizeOf(fileName), "MPEG");
    auto& f = info.fields;
    f.push_back(
        TextField("mpegVersion", " ", MPAVersionName(mpa.version), InfoPlacement::SameLine));
    f.push_back(TextField("layer", " Layer ", MPALayerName(mpa.layer), InfoPlacement::SameLine));
    f.push_back(TextField("mode", "Mode: ", MPAModeReportName(mpa.channelMode)));
    f.push_back(NumberField("bitRateKbps", "Bit Rate: ", mpa.bitRate, " Kbps"));
    f.push_back(NumberField("sampleRate", "Sample Rate: ", mpa.sampleRate, " Hz"));
    f.push_back(NumberField("samples", "Samples: ", mpa.totalSamples));
    f.push_back(NumberField("frames", "Frames: ", mpa.frameCount));
    f.push_back(TextField("emphasis", "Emphasis: ", MPAEmphasisName(mpa.emphasis)));
    f.push_back(FlagField("crcProtected", "CRCEror: ", mpa.crcProtected));
    f.push_back(FlagField("copyright", "Copyright: ", mpa.copyright));
    f.push_back(FlagField("original", "Original: ", mpa.original));
    f.push_back(FlagField("protection", "Protection: ", mpa.protection));
    f.push_back(FlagField("privateBit", "Private: ", mpa.privateBit));
    AddPlayTimes(info, mpa.sampleRate, mpa.totalSamples);
    return info;
}

std::optional<MediaInformation> WAVInformation(const std::string& fileName) {
    FileSource source(fileName);
    WAVLayout layout;
    try {
        layout = ReadWAVLayoutOf(source);
    } catch (const IoError&) {
        return std::nullopt;  // as for a file that is not PCM
    }
    if (!layout.isPCM()) {
        return std::nullopt;
    }
    const WAVHeader& h = layout.header;
    const std::uint32_t bytesPerSample = h.bitsPerSample / 8u;
    const std::uint64_t samples = (layout.dataSize == 0 || h.channels == 0 || bytesPerSample == 0)
                                      ? 0
                                      : layout.dataSize / h.channels / bytesPerSample;

    MediaInformation info = Record(MediaKind::WAV, fileName, source.size(), "PCM");
    auto& f = info.fields;
    f.push_back(NumberField(
        "bitRate", "Bit rate: ", std::uint64_t{h.bitsPerSample} * h.sampleRate * h.channels));
    f.push_back(NumberField("channels", "Channels: ", h.channels));
    f.push_back(NumberField("bitsPerSample", "Quantization: ", h.bitsPerSample, " bits"));
    f.push_back(NumberField("sampleRate", "Sample Rate: ", h.sampleRate, " Hz"));
    f.push_back(NumberField("byteRate", "Avg Bytes Per Sec: ", h.byteRate));
    f.push_back(NumberField("samples", "Samples: ", samples));
    AddPlayTimes(info, h.sampleRate, samples);
    return info;
}

}  // namespace varnix
