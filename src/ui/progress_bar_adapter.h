#pragma once
// A progress display over a QProgressBar. Long work counts bytes in 64 bits while the bar takes
// int, so the bar shows the values scaled down by a power of two when they do not fit.

#include <QPointer>
#include <QProgressBar>
#include <cstdint>

#include "core/progress.h"

namespace varnix {

class ProgressBarAdapter : public ProgressIndicator {
  public:
    explicit ProgressBarAdapter(QProgressBar* bar);

    void setMinimum(std::int64_t value) override;
    void setMaximum(std::int64_t value) override;
    void setPosition(std::int64_t value) override;
    std::int64_t minimum() const override { return minimum_; }
    std::int64_t maximum() const override { return maximum_; }
    std::int64_t position() const override { return position_; }

    QProgressBar* Bar() const { return bar_; }
    // How many bits the values are shifted right for the bar.
    int Shift() const { return shift_; }

  private:
    void update();

    QPointer<QProgressBar> bar_;
    std::int64_t minimum_ = 0;
    std::int64_t maximum_ = 100;
    std::int64_t position_ = 0;
    int shift_ = 0;
};

}  // namespace varnix
