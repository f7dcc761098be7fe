#include "video/get_video_info.h"

#include "core/file_helpers.h"
#include "video/info_cache.h"
#include "video/m2v_stream.h"

namespace varnix {

void GetVideoInfo(const std::string& fileName, ProgressIndicator* progress, AbortFlag* abort,
                  VideoInfo& info, IdleCallback idle) {
    const std::string cacheName = fileName + kVideoCacheSuffix;
    if (FileExists(cacheName)) {
        // A cache that cannot be read, has a wrong magic or belongs to an older state of the
        // video is replaced by a new scan.
        VideoInfo cached;
        if (ReadVideoInfoFile(cacheName, cached) &&
            CacheMatchesVideo(cached, FileTimeOf(fileName), FileSizeOf(fileName))) {
            info = cached;
            return;
        }
        DeleteFileIfExists(cacheName);
    }
    TM2VStream stream(fileName);
    stream.SetAbortFlag(abort);
    stream.SetIdleCallback(std::move(idle));
    stream.SetProgress(progress);
    stream.SetCache(true);
    stream.SetBlockProgress(false);
    stream.Scan(true, false);
    info = stream.Info();
}

}  // namespace varnix
