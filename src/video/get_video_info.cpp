#include "video/get_video_info.h"

#include <memory>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "video/info_cache.h"
#include "video/m2v_stream.h"

namespace varnix {

std::optional<VideoInfo> GetVideoInfo(const std::string& fileName, ProgressIndicator* progress,
                                      AbortFlag* abort, IdleCallback idle) {
    const std::string cacheName = fileName + kVideoCacheSuffix;
    if (FileExists(cacheName)) {
        // A cache that cannot be read, has a wrong magic or belongs to an older state of the
        // video is replaced by a new scan.
        const std::optional<VideoInfo> cached = ReadVideoInfoFile(cacheName);
        if (cached && CacheMatchesVideo(*cached, FileTimeOf(fileName), FileSizeOf(fileName))) {
            return cached;
        }
        DeleteFileIfExists(cacheName);
    }
    std::unique_ptr<TM2VStream> stream;
    try {
        stream = std::make_unique<TM2VStream>(fileName);
    } catch (const EParserFileException&) {
        return std::nullopt;  // the reader has shown why
    }
    stream->SetAbortFlag(abort);
    stream->SetIdleCallback(std::move(idle));
    stream->SetProgress(progress);
    stream->SetCache(true);
    stream->SetBlockProgress(false);
    stream->Scan(true, false);
    const std::vector<std::string>& notes = stream->DemuxNotes();
    if (!notes.empty()) {
        // The video of a damaged program or transport stream: the duration counts what could
        // be read, and the user learns why it may be short.
        std::string text = fileName + ": " + notes.front();
        if (notes.size() > 1) {
            text += " (and " + std::to_string(notes.size() - 1) + " more such problems)";
        }
        CurrentHost().showMessage(MessageIcon::Warning, "Warning!", text);
    }
    return stream->Info();
}

}  // namespace varnix
