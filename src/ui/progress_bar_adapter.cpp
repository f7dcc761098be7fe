#include "ui/progress_bar_adapter.h"

#include <algorithm>
#include <limits>

namespace varnix {

namespace {

std::uint64_t Magnitude(std::int64_t value) {
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

}  // namespace

ProgressBarAdapter::ProgressBarAdapter(QProgressBar* bar) : bar_(bar) {
    if (bar_ != nullptr) {
        minimum_ = bar_->minimum();
        maximum_ = bar_->maximum();
        position_ = bar_->value();
    }
}

void ProgressBarAdapter::setMinimum(std::int64_t value) {
    minimum_ = value;
    update();
}

void ProgressBarAdapter::setMaximum(std::int64_t value) {
    maximum_ = value;
    update();
}

void ProgressBarAdapter::setPosition(std::int64_t value) {
    position_ = value;
    update();
}

void ProgressBarAdapter::update() {
    if (bar_ == nullptr) {
        return;
    }
    constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    const std::uint64_t largest = std::max(Magnitude(minimum_), Magnitude(maximum_));
    shift_ = 0;
    while ((largest >> shift_) > kLimit) {
        ++shift_;
    }
    const int low = static_cast<int>(minimum_ >> shift_);
    const int high = static_cast<int>(maximum_ >> shift_);
    if (high <= low) {
        // An empty range would make the bar an endless busy indicator; show it empty instead.
        bar_->setRange(0, 1);
        bar_->setValue(0);
        return;
    }
    bar_->setRange(low, high);
    const std::int64_t clamped = std::clamp(position_, minimum_, maximum_);
    bar_->setValue(static_cast<int>(clamped >> shift_));
}

}  // namespace varnix
