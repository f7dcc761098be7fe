#include "ui/audio_list_rules.h"

#include <charconv>
#include <cmath>

#include "core/timecode.h"
#include "formats/ac3.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/mpa_frame.h"

namespace varnix {

namespace {

std::string ChannelsText(unsigned count) {
    return "CH:" + std::to_string(count);
}

}  // namespace

std::string FrequencyText(double kilohertz, char decimalSeparator) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, kilohertz);
    std::string text = error == std::errc{} ? std::string(buffer, end) : std::string("0");
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    if (text.size() == 2) {
        text += decimalSeparator;
        text += '0';
    }
    return text + " kHz";
}

AudioColumns AC3Columns(const MediaInfoAC3& info, char decimalSeparator) {
    const unsigned channels = AC3ChannelCounts[info.audioCodingMode & 7u];
    const unsigned lfe = info.lfe != 0 ? 1u : 0u;
    return AudioColumns{ChannelsText(channels + lfe),
                        FrequencyText(info.sampleRate, decimalSeparator),
                        std::to_string(info.bitRate / 1000) + " Kbps",
                        AC3SystemText(info.audioCodingMode, lfe != 0), kImageAC3};
}

AudioColumns DTSColumns(const MediaInfoDTS& info, char decimalSeparator) {
    // User-defined channel arrangements count no channels.
    const unsigned channels = DTSChannelCount(info.channelArrangement);
    const unsigned lfe = info.lfe != 0 ? 1u : 0u;
    const long double kbps = DTSBitRate(info.rateCode) / 1000.0L;
    return AudioColumns{
        ChannelsText(channels + lfe),
        FrequencyText(DTSSampleRate(info.sampleRateCode) / 1000.0, decimalSeparator),
        std::to_string(RoundEven(kbps)) + " Kbps",
        "DTS " + std::to_string(channels) + (lfe != 0 ? ".1" : ".0"), kImageDTS};
}

AudioColumns MPAColumns(const MediaInfoMPA& info, char decimalSeparator) {
    const auto kilohertz = static_cast<double>(RoundEven(info.sampleRate / 1000.0L));
    return AudioColumns{
        info.channelMode == 3 ? "CH:1" : "CH:2", FrequencyText(kilohertz, decimalSeparator),
        std::to_string(info.bitRate) + " Kbps", MPAModeName(info.channelMode), kImageMPA};
}

AudioColumns WAVColumns(const MediaInfoWAV& info, char decimalSeparator) {
    return AudioColumns{ChannelsText(info.channels),
                        FrequencyText(info.sampleRate / 1000.0, decimalSeparator),
                        std::to_string(info.bitsPerSample) + " bits", "PCM", kImageWAV};
}

std::optional<AudioColumns> AudioColumnsOfFile(const std::string& fileName, MediaKind kind,
                                               char decimalSeparator) {
    if (kind == MediaKind::AC3) {
        return AC3Columns(ReadAC3Description(fileName), decimalSeparator);
    }
    if (kind == MediaKind::DTS) {
        return DTSColumns(ReadDTSDescription(fileName), decimalSeparator);
    }
    if (kind == MediaKind::MPA) {
        return MPAColumns(ReadMPADescription(fileName), decimalSeparator);
    }
    if (kind == MediaKind::WAV) {
        return WAVColumns(ReadWAVDescription(fileName), decimalSeparator);
    }
    return std::nullopt;
}

bool ConsideredForAdding(MediaKind kind, bool mergePageShown, bool checkHeader, int mergeRows) {
    return kind != MediaKind::Unknown || (mergePageShown && !checkHeader && mergeRows > 0);
}

bool AudioChecksApply(bool mergePageShown, bool checkHeader, int listRows) {
    return !(mergePageShown && !checkHeader && listRows > 0);
}

bool MergeFormatChecked(MediaKind kind, bool mergePageShown, int mergeRows, bool checkHeader) {
    if (kind == MediaKind::AC3 || kind == MediaKind::DTS || kind == MediaKind::MPA) {
        return false;
    }
    return mergePageShown && mergeRows > 1 && checkHeader;
}

bool SameMergeFormat(const AudioColumns& first, const AudioColumns& added) {
    return first.channels == added.channels && first.frequency == added.frequency &&
           first.bitRate == added.bitRate;
}

bool AudioMoveRefused(MoveDirection direction, bool mergePageShown, bool checkHeader,
                      int selectedRow, int rows) {
    if (!mergePageShown || checkHeader) {
        return false;
    }
    if (direction == MoveDirection::Up) {
        return selectedRow == 0 || selectedRow == 1;
    }
    return selectedRow == 0 || selectedRow == rows - 1;
}

bool AudioDeleteRefused(bool mergePageShown, bool checkHeader, int firstSelectedRow, int rows) {
    return mergePageShown && !checkHeader && firstSelectedRow == 0 && rows > 1;
}

}  // namespace varnix
