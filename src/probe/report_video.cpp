#include "probe/report_video.h"

#include "core/file_helpers.h"
#include "core/timecode.h"
#include "video/get_video_info.h"
#include "video/m2v_stream.h"

namespace varnix {

namespace {

constexpr const char* kLineEnd = "\r\n";

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

std::string VideoInformationReport(const std::string& fileName, ProgressIndicator* progress) {
    const QuickLook look = LookQuickly(fileName, progress);
    VideoInfo info = look.info;
    std::string durationBlock;
    AbortFlag neverSet{0};
    const std::optional<VideoInfo> cached =
        FileExists(fileName + kVideoCacheSuffix)
            ? GetVideoInfo(fileName, progress, &neverSet, [] { CurrentHost().pumpEvents(); })
            : std::nullopt;
    if (cached) {
        info = *cached;
        const double r = info.wholeFrameRate;
        TimeCode end = AddTimeCodes(info.startTime, FramesToTimeCode(info.frames, r), r);
        DecTimeCode(end, r);
        durationBlock = "Data End Time:    " + TimeCodeRateText(end, r) + kLineEnd +
                        "Duration:              " + TimeCodeRateText(info.duration, r);
    }
    const double r = info.wholeFrameRate;
    const bool pal = WholeFrameRateOfCode(info.frameRateCode) == 25;
    const bool displaySized = info.displayWidth != 0 && info.displayHeight != 0;
    const std::string displaySize =
        displaySized
            ? std::to_string(info.displayWidth) + " x " + std::to_string(info.displayHeight)
            : std::to_string(info.width) + " x " + std::to_string(info.height);

    std::string text = "Video MPG Information:\r\n\r\nFile name: " + TailText(fileName, 25);
    const auto line = [&text](const std::string& content) { text += kLineEnd + content; };
    line("Video Type: " + std::string(look.still ? "Still" : "Video"));
    line("Resolution: " + std::string(pal ? "PAL" : "NTSC"));
    line("Encode Type: MPEG " + std::to_string(info.mpegVersion));
    if (!look.container.empty()) {
        // Taken out of a program or transport stream: the values are those of its video.
        line("Container: " + look.container);
    }
    line("Size: " + std::to_string(info.width) + " x " + std::to_string(info.height));
    line("Display Size: " + displaySize);
    line("Aspect Ratio: " +
         AspectRatioText(info.mpegVersion, info.aspectRatio, info.wholeFrameRate, info.panScan));
    line("Bit rate: " + std::to_string(info.bitRate));
    line("Bitrate Type: " + std::string(info.variableBitRate ? "Variable" : "Constant"));
    line("Line21 Switch1: " + BoolToText(info.line21Switch1, 1));
    line("Line21 Switch2: " + BoolToText(info.line21Switch2, 1));
    line("Is PullDown: " + BoolToText(info.pullDown, 1));
    line("Frame Rate: " + FrameRateName(info.frameRateCode));
    line("Data Start Time:  " + TimeCodeRateText(info.startTime, r) + std::string(12, ' '));
    text += kLineEnd;
    text += durationBlock;
    text += kLineEnd;
    return text;
}

}  // namespace varnix
