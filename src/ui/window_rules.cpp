#include "ui/window_rules.h"

#include "core/file_helpers.h"

namespace varnix {

bool DestinationAllowsProcessPosix(std::string_view text) {
    return !text.empty() && text.front() == '/';
}

bool DestinationAllowsProcessWindows(std::string_view text) {
    if (text.size() < 2) {
        return false;
    }
    if ((text.size() == 2 || text.size() == 3) && text[1] != ':') {
        return false;
    }
    return true;
}

bool DestinationAllowsProcess(std::string_view text) {
#ifdef _WIN32
    return DestinationAllowsProcessWindows(text);
#else
    return DestinationAllowsProcessPosix(text);
#endif
}

bool ProcessEnabled(const ProcessInputs& inputs) {
    if (!inputs.mergePageShown && inputs.cutRows == 0) {
        return false;
    }
    if (inputs.mergePageShown && inputs.mergeRows == 0) {
        return false;
    }
    if (inputs.durationRows == 0) {
        return false;
    }
    return DestinationAllowsProcess(inputs.destination);
}

std::string DestinationTextOnLeave(std::string text) {
    if (text.size() > 2 && text.back() != kPathSeparator) {
        text += kPathSeparator;
    }
    return text;
}

std::string PositionText(std::int64_t i, std::int64_t n) {
    return "   " + std::to_string(i) + " / " + std::to_string(n);
}

std::string TotalTimeText(TimeCode total, TvSystem system) {
    return "   Total time: " + TimeCodeSystemText(total, system);
}

TimeCode DurationsTotal(const std::vector<TimeCode>& entries, TvSystem system) {
    const double fps = SystemFps(system);
    std::int64_t frames = 0;
    for (const TimeCode& entry : entries) {
        if (!entry.IsNone()) {
            frames += TimeCodeToFrames(entry, fps);
        }
    }
    return FramesToTimeCode(frames, fps);
}

TimeCode AudioTotal(const std::vector<TimeCode>& entries, TvSystem system) {
    const double fps = SystemFps(system);
    TimeCode total{};
    for (const TimeCode& entry : entries) {
        if (!entry.IsNone()) {
            total = AddTimeCodes(total, entry, fps);
        }
    }
    return total;
}

std::string InputsWithoutPiecesText(const std::vector<std::string>& inputs) {
    std::string text = "No piece was cut from these files (unknown format, unreadable or empty):";
    for (const auto& input : inputs) {
        text += "\n" + input;
    }
    return text;
}

bool FirstMergeRowLocked(bool mergePageShown, bool checkHeader, int mergeRows, int selectedRow) {
    return mergePageShown && !checkHeader && mergeRows > 0 && selectedRow == 0;
}

const std::vector<std::string>& BusyDisabledControls() {
    static const std::vector<std::string> controls = {
        "PageControl1", "BitBtn2",      "BitBtn4",   "BitBtn8",      "BitBtn9",
        "BitBtn1",      "BitBtn12",     "BitBtn3",   "RadioButton1", "RadioButton2",
        "SpeedButton3", "SpeedButton4", "BitBtn6",   "BitBtn7",      "BitBtn5",
        "Edit1",        "BitBtn10",     "CheckBox1", "Panel1"};
    return controls;
}

const std::vector<std::string>& IdleEnabledControls() {
    static const std::vector<std::string> controls = [] {
        std::vector<std::string> all = {"ListView1", "ListView2", "ListView3"};
        const auto& busy = BusyDisabledControls();
        all.insert(all.end(), busy.begin(), busy.end());
        return all;
    }();
    return controls;
}

}  // namespace varnix
