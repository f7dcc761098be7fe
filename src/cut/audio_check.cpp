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

bool Readable(const std::string& fileName) {
    return FileExists(fileName) && BinaryFile(fileName, BinaryFile::Mode::Read).isOpen();
}

bool WaveIsPCM(const std::string& fileName, MediaKind kind) {
    return !(EndsWith(fileName, ".wav") || kind == MediaKind::WAV) || IsPCMWave(fileName);
}

}  // namespace

std::string ListRefusalText(ListRefusal refusal) {
    switch (refusal) {
        case ListRefusal::None:
            break;
        case ListRefusal::Missing:
            return "no such file, or it cannot be opened";
        case ListRefusal::NotPCMWave:
            return "not a PCM WAV file";
        case ListRefusal::UnknownFormat:
            return "unknown file format";
        case ListRefusal::Video:
            return "a video file, not audio";
    }
    return {};
}

std::string FileNotExistText(const std::string& fileName) {
    return FileNameOf(fileName) + " file not exist or it is opened by another application!";
}

ListRefusal AudioListRefusal(const std::string& fileName, bool formatChecks,
                             FormatOptions formats) {
    if (!Readable(fileName)) {
        return ListRefusal::Missing;
    }
    if (!formatChecks) {
        return ListRefusal::None;
    }
    const MediaKind kind = DetectFormat(fileName, formats);
    if (!WaveIsPCM(fileName, kind)) {
        return ListRefusal::NotPCMWave;
    }
    if (kind == MediaKind::Unknown) {
        return ListRefusal::UnknownFormat;
    }
    if (EndsWith(fileName, ".m2v") || EndsWith(fileName, ".m1v") || EndsWith(fileName, ".mpg") ||
        IsVideoKind(kind)) {
        return ListRefusal::Video;
    }
    return ListRefusal::None;
}

ListRefusal DurationListRefusal(const std::string& fileName, FormatOptions formats) {
    if (!Readable(fileName)) {
        return ListRefusal::Missing;
    }
    return WaveIsPCM(fileName, DetectFormat(fileName, formats)) ? ListRefusal::None
                                                                : ListRefusal::NotPCMWave;
}

}  // namespace varnix
