#pragma once
// The description of a video file: from its ".vnf" info cache when that still belongs to the
// file, otherwise by a full scan that writes a new cache.

#include <optional>
#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "video/video_info.h"

namespace varnix {

// `progress` and `abort` may be null; `idle` is called every few GOPs of a scan. When the abort
// flag stops the scan, the description holds what was counted so far and no cache file is left
// behind. None when the video cannot be opened or is empty (the reader has said so through the
// host). Throws IoError naming the file and the system's reason when it cannot be read; no cache
// file is written then.
std::optional<VideoInfo> GetVideoInfo(const std::string& fileName, ProgressIndicator* progress,
                                      AbortFlag* abort, IdleCallback idle);

}  // namespace varnix
