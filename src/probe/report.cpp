#include "probe/report.h"

#include "core/host.h"
#include "formats/detect.h"
#include "probe/media_info.h"
#include "probe/report_audio.h"
#include "probe/report_video.h"

namespace varnix {

namespace {

std::string ReportOfKind(const std::string& fileName, MediaKind kind, ProgressIndicator* progress,
                         char decimalSeparator, const IdleCallback& idle) {
    if (kind == MediaKind::AC3) {
        return AC3InformationReport(fileName);
    }
    if (kind == MediaKind::DTS) {
        return DTSInformationReport(fileName, decimalSeparator);
    }
    if (kind == MediaKind::MPA) {
        return MPAInformationReport(fileName);
    }
    if (kind == MediaKind::WAV) {
        return IsPCMWave(fileName) ? WAVInformationReport(fileName) : kUnknownFileFormat;
    }
    if (IsVideoKind(kind)) {
        return VideoInformationReport(fileName, progress, idle);
    }
    return kUnknownFileFormat;
}

}  // namespace

std::string ShowMediaInformation(const std::string& fileName, bool show,
                                 ProgressIndicator* progress, char decimalSeparator,
                                 FormatOptions formats, const IdleCallback& idle) {
    const std::string text =
        ReportOfKind(fileName, DetectFormat(fileName, formats), progress, decimalSeparator, idle);
    if (show) {
        const bool unknown = text == kUnknownFileFormat;
        CurrentHost().showMessage(unknown ? MessageIcon::Error : MessageIcon::Information,
                                  unknown ? kErrorTitle : kReportTitle, text);
    }
    return text;
}

}  // namespace varnix
