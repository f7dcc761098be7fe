#include "ui/durations_list_rules.h"

namespace varnix {

std::string DurationNumberText(int i, int n) {
    return PadNumber(i, NumberingWidth(n));
}

std::string SystemName(TvSystem system) {
    return system == TvSystem::Pal ? "PAL" : "NTSC";
}

std::string DurationText(TimeCode tc) {
    return tc.IsNone() ? kNoDurationText : TimeCodeToText(tc);
}

}  // namespace varnix
