#include "probe/media_information.h"

#include <algorithm>
#include <utility>

#include "probe/audio_information.h"
#include "probe/video_information.h"

namespace varnix {

const InfoField* MediaInformation::find(std::string_view key) const {
    const auto it = std::find_if(fields.begin(), fields.end(),
                                 [key](const InfoField& field) { return field.key == key; });
    return it != fields.end() ? &*it : nullptr;
}

std::optional<MediaInformation> ReadMediaInformation(const std::string& fileName,
                                                     ProgressIndicator* progress,
                                                     FormatOptions formats,
                                                     const IdleCallback& idle) {
    const MediaKind kind = DetectFormat(fileName, formats);
    if (kind == MediaKind::AC3) {
        return AC3Information(fileName);
    }
    if (kind == MediaKind::DTS) {
        return DTSInformation(fileName);
    }
    if (kind == MediaKind::MPA) {
        return MPAInformation(fileName);
    }
    if (kind == MediaKind::WAV) {
        return WAVInformation(fileName);
    }
    if (IsVideoKind(kind)) {
        MediaInformation info = VideoInformation(fileName, progress, idle);
        info.kind = kind;
        return info;
    }
    return std::nullopt;  // no report for other kinds
}

InfoField NumberField(std::string key, std::string label, std::uint64_t value, std::string suffix,
                      InfoPlacement placement) {
    return InfoField{std::move(key), std::move(label), value, std::move(suffix), placement};
}

InfoField DecimalField(std::string key, std::string label, double value, std::string suffix) {
    return InfoField{std::move(key), std::move(label), value, std::move(suffix),
                     InfoPlacement::OwnLine};
}

InfoField TextField(std::string key, std::string label, std::string value,
                    InfoPlacement placement) {
    return InfoField{std::move(key), std::move(label), std::move(value), {}, placement};
}

InfoField FlagField(std::string key, std::string label, bool value) {
    return InfoField{std::move(key), std::move(label), value, {}, InfoPlacement::OwnLine};
}

InfoField TimeField(std::string key, std::string label, RatedTimeCode value, std::string suffix,
                    InfoPlacement placement) {
    return InfoField{std::move(key), std::move(label), value, std::move(suffix), placement};
}

}  // namespace varnix
