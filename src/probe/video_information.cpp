#include "probe/video_information.h"

#include "core/file_helpers.h"
#include "core/timecode.h"
#include "video/get_video_info.h"
#include "video/m2v_stream.h"

namespace varnix {

namespace {

constexpr const char* kMpeg2Aspects[16] = {"Forbidden", "1 : 1",    "4 : 3",    "16 : 9",
                                           "2.21 : 1",  "Reserved", "16 : 9",   "Reserved",
                                           "4 : 3",     "Reserved", "Reserved", "Reserved",
                                           "4 : 3",     "Reserved", "Reserved", "Reserved"};

constexpr const char* k625LineAspects[16] = {"Forbidden",
                                             "1 : 1",
                                             "0.6735",
                                             "16 : 9",
                                             "0.7615",
                                             "0.8055",
                                             "0.8437 16:9, 525line",
                                             "0.8935",
                                             "4 : 3",
                                             "0.9815",
                                             "1.0255",
                                             "1.0695",
                                             "1.1250 CCIR601, 525line",
                                             "1.1575",
                                             "1.2015",
                                             "Reserved"};

constexpr const char* k525LineAspects[16] = {"Forbidden",
                                             "1 : 1",
                                             "0.6735",
                                             "0.7031 16:9, 625line",
                                             "0.7615",
                                             "0.8055",
                                             "16 : 9",
                                             "0.8935",
                                             "0.9375 CCIR601, 625line",
                                             "0.9815",
                                             "1.0255",
                                             "1.0695",
                                             "4 : 3",
                                             "1.1575",
                                             "1.2015",
                                             "Reserved"};

// The quick look at the first pictures: it ends after the first run of pictures unless that
// held exactly one picture.
struct QuickLook {
    bool still = false;
    VideoInfo info;
    std::string container;  // empty for an elementary stream
};

QuickLook LookQuickly(const std::string& fileName, ProgressIndicator* progress) {
    TM2VStream stream(fileName);
    stream.SetQuick(true);
    stream.SetCache(false);
    stream.SetProgress(progress);
    stream.Scan(false, false);
    return {stream.Results().pictures == 1.0, stream.Info(), stream.Container()};
}

}  // namespace

std::string AspectRatioText(std::uint32_t mpegVersion, std::uint32_t aspectCode, int wholeFrameRate,
                            bool panScan) {
    const char* const* table = mpegVersion == 2       ? kMpeg2Aspects
                               : wholeFrameRate == 25 ? k625LineAspects
                                                      : k525LineAspects;
    std::string text = aspectCode < 16 ? table[aspectCode] : "";
    if (panScan) {
        text += " (Pan-scan)";
    }
    return text;
}

MediaInformation VideoInformation(const std::string& fileName, ProgressIndicator* progress,
                                  const IdleCallback& idle) {
    const QuickLook look = LookQuickly(fileName, progress);
    VideoInfo info = look.info;
    AbortFlag neverSet{0};
    const std::optional<VideoInfo> cached = FileExists(fileName + kVideoCacheSuffix)
                                                ? GetVideoInfo(fileName, progress, &neverSet, idle)
                                                : std::nullopt;
    if (cached) {
        info = *cached;
    }
    const double r = info.wholeFrameRate;
    const bool pal = WholeFrameRateOfCode(info.frameRateCode) == 25;
    const bool displaySized = info.displayWidth != 0 && info.displayHeight != 0;

    MediaInformation record;
    record.kind = MediaKind::M2V;
    record.fileName = fileName;
    auto& f = record.fields;
    f.push_back(TextField("videoType", "Video Type: ", look.still ? "Still" : "Video"));
    f.push_back(TextField("resolution", "Resolution: ", pal ? "PAL" : "NTSC"));
    f.push_back(NumberField("mpegVersion", "Encode Type: MPEG ", info.mpegVersion));
    if (!look.container.empty()) {
        // Taken out of a program or transport stream: the values are those of its video.
        f.push_back(TextField("container", "Container: ", look.container));
    }
    f.push_back(NumberField("width", "Size: ", info.width));
    f.push_back(NumberField("height", " x ", info.height, {}, InfoPlacement::SameLine));
    f.push_back(NumberField("displayWidth",
                            "Display Size: ", displaySized ? info.displayWidth : info.width));
    f.push_back(NumberField("displayHeight", " x ", displaySized ? info.displayHeight : info.height,
                            {}, InfoPlacement::SameLine));
    f.push_back(TextField(
        "aspectRatio", "Aspect Ratio: ",
        AspectRatioText(info.mpegVersion, info.aspectRatio, info.wholeFrameRate, info.panScan)));
    f.push_back(NumberField("bitRate", "Bit rate: ", info.bitRate));
    f.push_back(
        TextField("bitRateType", "Bitrate Type: ", info.variableBitRate ? "Variable" : "Constant"));
    f.push_back(FlagField("line21Switch1", "Line21 Switch1: ", info.line21Switch1));
    f.push_back(FlagField("line21Switch2", "Line21 Switch2: ", info.line21Switch2));
    f.push_back(FlagField("pullDown", "Is PullDown: ", info.pullDown));
    f.push_back(TextField("frameRate", "Frame Rate: ", FrameRateName(info.frameRateCode)));
    f.push_back(TimeField("startTime", "Data Start Time:  ", RatedTimeCode{info.startTime, r},
                          std::string(12, ' ')));
    if (cached) {
        // Only a scanned video knows where its data ends and how long it lasts.
        TimeCode end = AddTimeCodes(info.startTime, FramesToTimeCode(info.frames, r), r);
        DecTimeCode(end, r);
        f.push_back(TimeField("endTime", "Data End Time:    ", RatedTimeCode{end, r}));
        f.push_back(
            TimeField("duration", "Duration:              ", RatedTimeCode{info.duration, r}));
    }
    return record;
}

}  // namespace varnix
