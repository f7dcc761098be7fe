#include "cli/chapter_source.h"

#include "core/timecode.h"
#include "formats/detect.h"
#include "probe/media_duration.h"

namespace varnix::cli {

ChapterReadOptions ChapterOptions(TvSystem system, int title, FormatOptions formats) {
    ChapterReadOptions options;
    options.system = system;
    options.title = title;
    options.mediaLength = [formats](const std::string& file) -> std::optional<ChapterTime> {
        const std::optional<AudioSamples> audio =
            ReadAudioSamples(file, DetectFormat(file, formats));
        if (!audio) {
            return std::nullopt;
        }
        return TimeFromFraction(static_cast<std::int64_t>(audio->samples), audio->sampleRate);
    };
    return options;
}

}  // namespace varnix::cli
