#include "ui/durations_list_rules.h"

#include "core/file.h"
#include "core/file_helpers.h"
#include "formats/detect.h"
#include "probe/media_info.h"

namespace varnix {

std::string DurationNumberText(int i, int n) {
    const int width = n >= 1000 ? 4 : n >= 100 ? 3 : n >= 10 ? 2 : 1;
    return PadNumber(i, width);
}

std::string SystemName(TvSystem system) {
    return system == TvSystem::Pal ? "PAL" : "NTSC";
}

std::string DurationText(TimeCode tc) {
    return tc.IsNone() ? kNoDurationText : TimeCodeToText(tc);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool FileCanBeRead(const std::string& fileName) {
    if (!FileExists(fileName)) {
        return false;
    }
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    return file.isOpen();
}

bool WaveChecksPass(const std::string& fileName, MediaKind kind) {
    if (EndsWith(fileName, ".wav") && !IsPCMWave(fileName)) {
        return false;
    }
    return kind != MediaKind::WAV || IsPCMWave(fileName);
}

}  // namespace varnix
