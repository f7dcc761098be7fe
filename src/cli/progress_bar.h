#pragma once
// A one-line progress bar on standard error for long work (video scans), drawn only where a
// person watches: nothing is written unless standard error is a terminal.

#include <iosfwd>
#include <string>

#include "core/progress.h"

namespace varnix::cli {

class ProgressBar : public ProgressState {
  public:
    ProgressBar(std::ostream& err, bool terminal, std::string label)
        : err_(err), terminal_(terminal), label_(std::move(label)) {}
    ~ProgressBar() override { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void setPosition(std::int64_t value) override;
    // Removes the bar from the line.
    void Clear();
    // Names the work in front of the bar from the next drawing on.
    void SetLabel(std::string label) {
        Clear();
        label_ = std::move(label);
    }
    // The indicator to hand to the engine: this bar on a terminal, none otherwise.
    ProgressIndicator* Indicator() { return terminal_ ? this : nullptr; }

  private:
    std::ostream& err_;
    bool terminal_;
    std::string label_;
    int shownPercent_ = -1;
};

}  // namespace varnix::cli
