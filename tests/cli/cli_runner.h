#pragma once
// Runs the command-line program in-process on string streams.

#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"

namespace varnix::cli::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun RunCli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "varnix");
    std::vector<const char*> argv;
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    const int status =
        RunVarnix(static_cast<int>(argv.size()), argv.data(), Streams{out, err, in, false, false});
    return {status, out.str(), err.str()};
}

}  // namespace varnix::cli::test
