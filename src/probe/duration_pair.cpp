#include "probe/duration_pair.h"

#include "core/errors.h"
#include "probe/detect.h"
#include "probe/media_duration.h"
#include "video/get_video_info.h"

namespace varnix {

DurationPair VideoDurationPair(TimeCode duration, int wholeFrameRate) {
    if (wholeFrameRate == kPALRate) {
        return {duration, PALToNTSCTimeCode(duration)};
    }
    return {NTSCToPALTimeCode(duration), duration};
}

DurationPair GetDurationPair(const std::string& fileName, AbortFlag* abort,
                             ProgressIndicator* progress) {
    const std::string kind = DetectFormat(fileName);
    if (IsVideoKind(kind)) {
        const std::optional<VideoInfo> info =
            GetVideoInfo(fileName, progress, abort, [] { CurrentHost().pumpEvents(); });
        if (!info) {
            return DurationPair::None();  // the reader has said why
        }
        return VideoDurationPair(info->duration, info->wholeFrameRate);
    }
    if (kind.empty()) {
        return DurationPair::None();
    }
    return {GetMediaDuration(fileName, abort, progress, 25.0),
            GetMediaDuration(fileName, abort, progress, 30.0)};
}

}  // namespace varnix
