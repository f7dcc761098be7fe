#include "probe/report.h"

#include "core/host.h"
#include "formats/detect.h"
#include "probe/media_info.h"
#include "probe/report_audio.h"
#include "probe/report_video.h"

namespace varnix {

namespace {

std::string ReportOfKind(const std::string& fileName, MediaKind kind, ProgressIndicator* progress,
                         char decimalSeparator) {
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
        return VideoInformationReport(fileName, progress);
    }
    return kUnknownFileFormat;
}

}  // namespace

std::string ShowMediaInformation(const std::string& fileName, bool show,
                                 ProgressIndicator* progress, char decimalSeparator,
                                 FormatOptions formats) {
    const std::string text =
        ReportOfKind(fileName, DetectFormat(fileName, formats), progress, decimalSeparator);
    if (show) {
        const bool unknown = text == kUnknownFileFormat;
        CurrentHost().showMessage(unknown ? MessageIcon::Error : MessageIcon::Information,
                                  unknown ? kReportErrorTitle : kReportTitle, text);
    }
    return text;
}

}  // namespace varnix
