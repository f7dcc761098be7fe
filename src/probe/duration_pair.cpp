#include "probe/duration_pair.h"

#include "core/errors.h"
#include "formats/detect.h"
#include "probe/media_duration.h"
#include "video/get_video_info.h"

namespace varnix {

DurationPair VideoDurationPair(TimeCode duration, int wholeFrameRate) {
    if (wholeFrameRate == SystemFrameRate(TvSystem::Pal)) {
        return {duration, PALToNTSCTimeCode(duration)};
    }
    return {NTSCToPALTimeCode(duration), duration};
}

DurationPair GetDurationPair(const std::string& fileName, AbortFlag* abort,
                             ProgressIndicator* progress, FormatOptions formats,
                             const IdleCallback& idle) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (IsVideoKind(kind)) {
        const std::optional<VideoInfo> info = GetVideoInfo(fileName, progress, abort, idle);
        if (!info) {
            return DurationPair::None();  // the reader has said why
        }
        return VideoDurationPair(info->duration, info->wholeFrameRate);
    }
    if (kind == MediaKind::Unknown) {
        return DurationPair::None();
    }
    return {GetMediaDuration(fileName, abort, progress, 25.0, formats),
            GetMediaDuration(fileName, abort, progress, 30.0, formats)};
}

}  // namespace varnix
