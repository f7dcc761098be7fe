#pragma once
// The command-line host for work that draws a progress bar: the bar is wiped before a message is
// written or a question asked, so that they do not run into each other on the line.

#include "cli/cli_host.h"
#include "cli/progress_bar.h"

namespace varnix::cli {

class ProgressAwareHost : public CliHost {
  public:
    ProgressAwareHost(std::ostream& err, std::istream& in, bool interactive, bool assumeYes,
                      ProgressBar& bar)
        : CliHost(err, in, interactive, assumeYes), bar_(bar) {}

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        bar_.Clear();
        CliHost::showMessage(icon, title, text);
    }
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override {
        bar_.Clear();
        return CliHost::confirm(icon, title, text);
    }

  private:
    ProgressBar& bar_;
};

}  // namespace varnix::cli
