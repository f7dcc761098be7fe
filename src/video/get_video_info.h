#pragma once
// The description of a video file: from its ".vnf" info cache when that still belongs to the
// file, otherwise by a full scan that writes a new cache.

#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "video/video_info.h"

namespace varnix {

// `progress` and `abort` may be null; `idle` is called every few GOPs of a scan. When the abort
// flag stops the scan, `info` holds what was counted so far and no cache file is left behind.
// Throws EParserFileException when the video cannot be opened or is empty.
void GetVideoInfo(const std::string& fileName, ProgressIndicator* progress, AbortFlag* abort,
                  VideoInfo& info, IdleCallback idle);

}  // namespace varnix
