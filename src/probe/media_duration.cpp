#include "probe/media_duration.h"

#include "core/errors.h"
#include "formats/ac3.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"
#include "probe/duration_pair.h"
#include "video/get_video_info.h"

namespace varnix {

std::optional<AudioSamples> ReadAudioSamples(const std::string& fileName, MediaKind kind) {
    AudioSamples audio;
    if (kind == MediaKind::AC3) {
        const AC3FrameLayout layout = ReadAC3FrameLayout(fileName);
        if (layout.firstFrameBytes == 0) {
            return std::nullopt;  // reserved sample rate, frame size out of the table, or no header
        }
        audio.samples = layout.totalSamples();
        audio.sampleRate = AC3SampleRate(layout.sampleRateCode);
    } else if (kind == MediaKind::DTS) {
        audio.samples = GetDTSFrameCount(fileName) * kDTSSamplesPerFrame;
        audio.sampleRate = GetDTSSampleRate(fileName);
    } else if (kind == MediaKind::WAV) {
        const WAVLayout layout = ReadWAVLayout(fileName);
        const WAVHeader& h = layout.header;
        const std::uint32_t bytesPerSample = h.bitsPerSample / 8u;
        if (!layout.isPCM() || !layout.dataFound || h.channels == 0 || bytesPerSample == 0) {
            return std::nullopt;
        }
        audio.samples = layout.dataSize / h.channels / bytesPerSample;
        audio.sampleRate = h.sampleRate;
    } else if (kind == MediaKind::MPA) {
        std::optional<MPAInfo> info;
        try {
            info = ReadMPAInfo(fileName, true);
        } catch (const IoError&) {
            return std::nullopt;
        }
        if (!info) {
            return std::nullopt;
        }
        audio.samples = info->totalSamples;
        audio.sampleRate = info->sampleRate;
    } else {
        return std::nullopt;
    }
    if (audio.sampleRate == 0) {
        return std::nullopt;
    }
    return audio;
}

TimeCode GetMediaDuration(const std::string& fileName, AbortFlag* abort,
                          ProgressIndicator* progress, double fps, FormatOptions formats,
                          const IdleCallback& idle) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (IsVideoKind(kind)) {
        // The scanned (or cached) duration, unchanged: at the stream's own frame rate,
        // whatever `fps` says, and with no frame added.
        const std::optional<VideoInfo> info = GetVideoInfo(fileName, progress, abort, idle);
        return info ? info->duration : TimeCode::None();
    }
    const std::optional<AudioSamples> audio = ReadAudioSamples(fileName, kind);
    if (!audio) {
        return TimeCode::None();
    }
    return CountToDuration(false, fps, static_cast<double>(audio->sampleRate),
                           static_cast<std::int64_t>(audio->samples));
}

TimeCode MediaDurationForSystem(const std::string& fileName, TvSystem system, AbortFlag* abort,
                                ProgressIndicator* progress, FormatOptions formats,
                                const IdleCallback& idle) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (IsVideoKind(kind)) {
        return GetDurationPair(fileName, abort, progress, formats, idle).ForSystem(system);
    }
    return GetMediaDuration(fileName, abort, progress, SystemFps(system), formats, idle);
}

}  // namespace varnix
