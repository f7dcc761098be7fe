#include "probe/report.h"

#include "core/host.h"
#include "probe/media_information.h"
#include "probe/report_text.h"

namespace varnix {

std::string ShowMediaInformation(const std::string& fileName, bool show,
                                 ProgressIndicator* progress, char decimalSeparator,
                                 FormatOptions formats, const IdleCallback& idle) {
    const std::optional<MediaInformation> info =
        ReadMediaInformation(fileName, progress, formats, idle);
    const std::string text = info ? ReportText(*info, decimalSeparator) : kUnknownFileFormat;
    if (show) {
        const bool unknown = !info;
        CurrentHost().showMessage(unknown ? MessageIcon::Error : MessageIcon::Information,
                                  unknown ? kErrorTitle : kReportTitle, text);
    }
    return text;
}

}  // namespace varnix
