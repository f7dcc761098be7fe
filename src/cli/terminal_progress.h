#pragma once
// A one-line progress bar on a terminal: "label [#####     ]  50%", redrawn in place when the
// percentage changes, and wiped when the work is done.

#include <iosfwd>
#include <string>

#include "cli/cli_host.h"
#include "core/progress.h"

namespace varnix::cli {

class TerminalProgress : public ProgressState {
  public:
    explicit TerminalProgress(std::ostream& err) : err_(err) {}
    ~TerminalProgress() override { clear(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void setLabel(const std::string& label) { label_ = label; }
    void setMaximum(std::int64_t value) override;
    void setPosition(std::int64_t value) override;
    // Removes the bar from the line.
    void clear();

  private:
    void draw();

    std::ostream& err_;
    std::string label_;
    int shownPercent_ = -1;
    bool visible_ = false;
};

// The command-line host that wipes a progress bar before it writes a message or asks.
class ProgressAwareHost : public CliHost {
  public:
    ProgressAwareHost(std::ostream& err, std::istream& in, bool interactive, bool assumeYes,
                      TerminalProgress* progress)
        : CliHost(err, in, interactive, assumeYes), progress_(progress) {}

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        if (progress_ != nullptr) {
            progress_->clear();
        }
        CliHost::showMessage(icon, title, text);
    }
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override {
        if (progress_ != nullptr) {
            progress_->clear();
        }
        return CliHost::confirm(icon, title, text);
    }

  private:
    TerminalProgress* progress_;
};

}  // namespace varnix::cli
