#include "cli/cli_host.h"

#include <istream>
#include <ostream>
#include <string>

namespace varnix::cli {

namespace {

std::string Prefix(const std::string& title) {
    return title.empty() ? std::string("varnix: ") : "varnix: " + title + " ";
}

}  // namespace

void CliHost::showMessage(MessageIcon, const std::string& title, const std::string& text) {
    err_ << Prefix(title) << text << '\n';
}

bool CliHost::confirm(MessageIcon, const std::string& title, const std::string& text) {
    if (assumeYes_) {
        return true;
    }
    if (!interactive_) {
        err_ << Prefix(title) << text << " (refused; use --yes to agree)\n";
        return false;
    }
    err_ << Prefix(title) << text << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) {
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

}  // namespace varnix::cli
