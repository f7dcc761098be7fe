#include "cli/chapter_source.h"

#include "core/timecode.h"
#include "probe/detect.h"
#include "probe/media_duration.h"

namespace varnix::cli {

ChapterReadOptions ChapterOptions(int systemRate, int title) {
    ChapterReadOptions options;
    options.system = IsPAL(systemRate) ? TvSystem::Pal : TvSystem::Ntsc;
    options.title = title;
    options.mediaLength = [](const std::string& file) -> std::optional<ChapterTime> {
        AudioSamples samples;
        if (!ReadAudioSamples(file, DetectFormat(file), samples) || samples.sampleRate == 0) {
            return std::nullopt;
        }
        return TimeFromFraction(static_cast<std::int64_t>(samples.samples), samples.sampleRate);
    };
    return options;
}

}  // namespace varnix::cli
