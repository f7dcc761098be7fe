#include "cli/terminal_progress.h"

#include <algorithm>
#include <ostream>

namespace varnix::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

void TerminalProgress::setMaximum(std::int64_t value) {
    ProgressState::setMaximum(value);
    shownPercent_ = -1;
    draw();
}

void TerminalProgress::setPosition(std::int64_t value) {
    ProgressState::setPosition(value);
    draw();
}

void TerminalProgress::draw() {
    const std::int64_t span = maximum() - minimum();
    if (span <= 0) {
        return;
    }
    const std::int64_t done = std::clamp<std::int64_t>(position() - minimum(), 0, span);
    const int percent = static_cast<int>(done * 100 / span);
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    err_ << '\r' << label_ << (label_.empty() ? "" : " ") << '['
         << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] "
         << (percent < 10    ? "  "
             : percent < 100 ? " "
                             : "")
         << percent << '%' << std::flush;
    visible_ = true;
}

void TerminalProgress::clear() {
    if (visible_) {
        err_ << "\r\033[K" << std::flush;
        visible_ = false;
        shownPercent_ = -1;
    }
}

}  // namespace varnix::cli
