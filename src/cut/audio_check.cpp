#include "cut/audio_check.h"

#include "core/file.h"
#include "core/file_helpers.h"
#include "formats/detect.h"
#include "probe/media_info.h"

namespace varnix {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string FileNotExistText(const std::string& fileName) {
    return FileNameOf(fileName) + " file not exist or it is opened by another application!";
}

std::string AudioListRefusal(const std::string& fileName, bool formatChecks,
                             FormatOptions formats) {
    if (!FileExists(fileName) || !BinaryFile(fileName, BinaryFile::Mode::Read).isOpen()) {
        return "no such file, or it cannot be opened";
    }
    if (!formatChecks) {
        return {};
    }
    const MediaKind kind = DetectFormat(fileName, formats);
    // Names are compared with their letter case, as the lists do.
    if ((EndsWith(fileName, ".wav") || kind == MediaKind::WAV) && !IsPCMWave(fileName)) {
        return "not a PCM WAV file";
    }
    if (kind == MediaKind::Unknown) {
        return "unknown file format";
    }
    if (EndsWith(fileName, ".m2v") || EndsWith(fileName, ".m1v") || EndsWith(fileName, ".mpg") ||
        IsVideoKind(kind)) {
        return "a video file, not audio";
    }
    return {};
}

}  // namespace varnix
