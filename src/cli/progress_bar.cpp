#include "cli/progress_bar.h"

#include <algorithm>
#include <ostream>

namespace varnix::cli {

void ProgressBar::setPosition(std::int64_t value) {
    ProgressState::setPosition(value);
    if (!terminal_) {
        return;
    }
    const std::int64_t span = maximum() - minimum();
    const std::int64_t done =
        std::clamp<std::int64_t>(value - minimum(), 0, std::max<std::int64_t>(span, 0));
    const int percent = span > 0 ? static_cast<int>(done * 100 / span) : 100;
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    err_ << '\r' << label_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << percent << "%"
         << std::flush;
}

void ProgressBar::Clear() {
    if (terminal_ && shownPercent_ >= 0) {
        err_ << '\r' << std::string(label_.size() + 40, ' ') << '\r' << std::flush;
        shownPercent_ = -1;
    }
}

}  // namespace varnix::cli
