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

bool ReadAudioSamples(const std::string& fileName, MediaKind kind, AudioSamples& out) {
    out = AudioSamples{};
    if (kind == MediaKind::AC3) {
        const AC3FrameLayout layout = ReadAC3FrameLayout(fileName);
        if (layout.firstFrameBytes == 0) {
            return false;  // reserved sample rate, frame size out of the table, or no header
        }
        out.samples = layout.totalSamples();
        out.sampleRate = AC3SampleRate(layout.sampleRateCode);
        return true;
    }
    if (kind == MediaKind::DTS) {
        out.samples = GetDTSFrameCount(fileName) * kDTSSamplesPerFrame;
        out.sampleRate = GetDTSSampleRate(fileName);
        return out.sampleRate != 0;
    }
    if (kind == MediaKind::WAV) {
        const WAVLayout layout = ReadWAVLayout(fileName);
        const WAVHeader& h = layout.header;
        const std::uint32_t bytesPerSample = h.bitsPerSample / 8u;
        if (!layout.isPCM() || !layout.dataFound || h.channels == 0 || bytesPerSample == 0 ||
            h.sampleRate == 0) {
            return false;
        }
        out.samples = layout.dataSize / h.channels / bytesPerSample;
        out.sampleRate = h.sampleRate;
        return true;
    }
    if (kind == MediaKind::MPA) {
        MPAInfo info;
        try {
            ReadMPAInfo(fileName, true, info);
        } catch (const IoError&) {
            return false;
        }
        out.samples = info.totalSamples;
        out.sampleRate = info.sampleRate;
        return out.sampleRate != 0;
    }
    return false;
}

TimeCode GetMediaDuration(const std::string& fileName, AbortFlag* abort,
                          ProgressIndicator* progress, double fps, FormatOptions formats) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (IsVideoKind(kind)) {
        // The scanned (or cached) duration, unchanged: at the stream's own frame rate,
        // whatever `fps` says, and with no frame added.
        const std::optional<VideoInfo> info =
            GetVideoInfo(fileName, progress, abort, [] { CurrentHost().pumpEvents(); });
        return info ? info->duration : TimeCode::None();
    }
    AudioSamples audio;
    if (!ReadAudioSamples(fileName, kind, audio)) {
        return TimeCode::None();
    }
    return CountToDuration(false, fps, static_cast<double>(audio.sampleRate),
                           static_cast<std::int64_t>(audio.samples));
}

TimeCode MediaDurationForSystem(const std::string& fileName, TvSystem system, AbortFlag* abort,
                                ProgressIndicator* progress, FormatOptions formats) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (IsVideoKind(kind)) {
        return GetDurationPair(fileName, abort, progress, formats).ForSystem(system);
    }
    return GetMediaDuration(fileName, abort, progress, SystemFps(system), formats);
}

}  // namespace varnix
