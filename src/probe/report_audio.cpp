#include "probe/report_audio.h"

#include <cstdio>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/timecode.h"
#include "formats/ac3.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"
#include "probe/media_info.h"

namespace varnix {

namespace {

constexpr const char* kCRLF = "\r\n";
// Audio reports show file names cut to their last 38 characters.
constexpr std::size_t kNameWidth = 38;

std::string Line(const std::string& text) {
    return text + kCRLF;
}

std::string NameAndSizeLines(const std::string& fileName) {
    return Line(TailText(fileName, kNameWidth)) +
           Line("File size: " + std::to_string(FileSizeOf(fileName)));
}

std::string YesNo(bool value) {
    return BoolToText(value, 1);
}

std::string PlayTime(bool dropFrame, double fps, std::uint32_t rate, std::uint64_t samples) {
    TimeCode tc = CountToDuration(dropFrame, fps, rate, static_cast<std::int64_t>(samples));
    if (tc.IsNone()) {
        tc = TimeCode{};
    }
    return TimeCodeRateText(tc, fps);
}

}  // namespace

std::string PlayTimeLines(std::uint32_t sampleRate, std::uint64_t samples) {
    return std::string(kCRLF) +
           Line("Play Time (PAL): " + PlayTime(false, 25.0, sampleRate, samples)) +
           Line("Play Time (NTSC) Non Drop Frame: " + PlayTime(false, 30.0, sampleRate, samples) +
                std::string(12, ' ')) +
           Line("Play Time (NTSC) Drop Frame: " + PlayTime(true, 30.0, sampleRate, samples));
}

std::string GeneralDecimalText(double value, char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

std::string AC3InformationReport(const std::string& fileName) {
    const unsigned fscod = GetAC3SampleRateCode(fileName);
    const std::uint64_t samples = GetAC3TotalSamples(fileName);
    const unsigned acmod = GetAC3ChannelMode(fileName) & 7;
    const MediaInfoAC3 description = ReadAC3Description(fileName);
    const std::uint32_t rate = AC3SampleRate(fscod);

    std::string text = "Audio AC3 Information:\r\n\r\nFile name: ";
    text += NameAndSizeLines(fileName);
    text += Line("Audio Type: AC3");
    text += Line("System: " + AC3SystemText(description.audioCodingMode, description.lfe != 0));
    text += Line("Bit Rate: " + std::to_string(AC3BitRate(GetAC3BitRateIndex(fileName)) / 1000) +
                 " Kbps");
    text += Line("Sample Rate: " + std::to_string(rate) + " Hz");
    text += Line(std::string("Channels: ") + AC3ChannelModeNames[acmod] +
                 " (code: " + std::to_string(acmod) + ")");
    text += Line("LFE on: " + YesNo(GetAC3LFE(fileName)));
    text +=
        Line(std::string("BsMode: ") + AC3BitStreamModeNames[GetAC3BitStreamMode(fileName) & 7]);
    text += Line("Samples: " + std::to_string(samples));
    text += Line("Frames: " + std::to_string(samples / kAC3SamplesPerFrame));
    text += Line("Frame Length: " + std::to_string(GetAC3FrameBytes(fileName)));
    text += PlayTimeLines(rate, samples);
    return text;
}

std::string DTSInformationReport(const std::string& fileName, char decimalSeparator) {
    const DTSHeader header = ReadDTSHeader(fileName, true).value_or(DTSHeader{});
    const MediaInfoDTS description = ReadDTSDescription(fileName);
    const std::uint64_t frames = GetDTSFrameCount(fileName);
    const std::uint64_t samples = frames * kDTSSamplesPerFrame;
    const std::uint32_t rate = GetDTSSampleRate(fileName);

    std::string bitRate;
    if (header.bitRateCode == 30) {
        bitRate = "Variable";
    } else if (header.bitRateCode == 31) {
        bitRate = "Lossless";
    } else {
        bitRate =
            GeneralDecimalText(DTSBitRate(header.bitRateCode) / 1000.0, decimalSeparator) + " Kbps";
    }

    std::string text = "Audio DTS Information:\r\n\r\nFile name: ";
    text += NameAndSizeLines(fileName);
    text += Line("Audio Type: DTS");
    text += Line("System: DTS " + std::to_string(DTSChannelCount(description.channelArrangement)) +
                 (description.lfe != 0 ? ".1" : ".0"));
    text += Line("Bit Rate: " + bitRate);
    text += Line("Sample Rate: " + std::to_string(rate) + " Hz");
    text += Line("Channels: " + DTSChannelLongName(header.channelCode));
    text += Line("LFE on: " + YesNo(GetDTSLFE(fileName)));
    text += Line("Samples: " + std::to_string(samples));
    text += Line("Frames: " + std::to_string(frames));
    text += Line("Frame size (bytes): " + std::to_string(header.frameBytes));
    text += PlayTimeLines(rate, samples);
    return text;
}

std::string MPAInformationReport(const std::string& fileName) {
    MPAInfo info;
    try {
        info = ReadMPAInfo(fileName, true).value_or(MPAInfo{});
    } catch (const IoError&) {
        info = MPAInfo{};
    }
    std::string text = "Audio MPA Information: \r\n\r\nFile name: ";
    text += NameAndSizeLines(fileName);
    text += Line("Audio Type: MPEG " + MPAVersionName(info.version) + " Layer " +
                 MPALayerName(info.layer));
    text += Line("Mode: " + MPAModeReportName(info.channelMode));
    text += Line("Bit Rate: " + std::to_string(info.bitRate) + " Kbps");
    text += Line("Sample Rate: " + std::to_string(info.sampleRate) + " Hz");
    text += Line("Samples: " + std::to_string(info.totalSamples));
    text += Line("Frames: " + std::to_string(info.frameCount));
    text += Line("Emphasis: " + MPAEmphasisName(info.emphasis));
    text += Line("CRCEror: " + YesNo(info.crcProtected));
    text += Line("Copyright: " + YesNo(info.copyright));
    text += Line("Original: " + YesNo(info.original));
    text += Line("Protection: " + YesNo(info.protection));
    text += Line("Private: " + YesNo(info.privateBit));
    text += PlayTimeLines(info.sampleRate, info.totalSamples);
    return text;
}

std::string WAVInformationReport(const std::string& fileName) {
    const WAVLayout layout = ReadWAVLayout(fileName);
    const WAVHeader& h = layout.header;
    const std::uint32_t bytesPerSample = h.bitsPerSample / 8u;
    const std::uint64_t samples = (layout.dataSize == 0 || h.channels == 0 || bytesPerSample == 0)
                                      ? 0
                                      : layout.dataSize / h.channels / bytesPerSample;
    const std::uint64_t bitRate =
        static_cast<std::uint64_t>(h.bitsPerSample) * h.sampleRate * h.channels;

    std::string text = "Audio WAV Information: \r\n\r\nFile name: ";
    text += NameAndSizeLines(fileName);
    text += Line("Audio Type: PCM");
    text += Line("Bit rate: " + std::to_string(bitRate));
    text += Line("Channels: " + std::to_string(h.channels));
    text += Line("Quantization: " + std::to_string(h.bitsPerSample) + " bits");
    text += Line("Sample Rate: " + std::to_string(h.sampleRate) + " Hz");
    text += Line("Avg Bytes Per Sec: " + std::to_string(h.byteRate));
    text += Line("Samples: " + std::to_string(samples));
    text += PlayTimeLines(h.sampleRate, samples);
    return text;
}

}  // namespace varnix
