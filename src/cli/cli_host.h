#pragma once
// The host of the command-line program: messages go to standard error; questions are answered
// by --yes, or asked on a terminal, or refused.

#include <iosfwd>

#include "core/host.h"

namespace varnix::cli {

class CliHost : public Host {
  public:
    CliHost(std::ostream& err, std::istream& in, bool interactive, bool assumeYes)
        : err_(err), in_(in), interactive_(interactive), assumeYes_(assumeYes) {}

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override;

  private:
    std::ostream& err_;
    std::istream& in_;
    bool interactive_;
    bool assumeYes_;
};

// Installs a host for the lifetime of the guard and restores the previous one afterwards.
class ScopedHost {
  public:
    explicit ScopedHost(Host& host) : previous_(&CurrentHost()) { SetHost(&host); }
    ~ScopedHost() { SetHost(previous_); }
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;

  private:
    Host* previous_;
};

}  // namespace varnix::cli
