#pragma once
// The command-line program as a function, so that tests can run it on their own streams.

#include <iosfwd>

namespace varnix::cli {

// Exit statuses of the program.
constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;  // a file could not be processed
constexpr int kExitUsage = 2;       // wrong usage

struct Streams {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    // Progress bars and questions only where a person watches.
    bool errIsTerminal = false;
    bool inIsTerminal = false;
};

int RunVarnix(int argc, const char* const* argv, Streams streams);

}  // namespace varnix::cli
