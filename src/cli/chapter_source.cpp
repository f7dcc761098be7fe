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
        AudioSamples samples;
        if (!ReadAudioSamples(file, DetectFormat(file, formats), samples) ||
            samples.sampleRate == 0) {
            return std::nullopt;
        }
        return TimeFromFraction(static_cast<std::int64_t>(samples.samples), samples.sampleRate);
    };
    return options;
}

}  // namespace varnix::cli
