#pragma once
// The subcommands of `varnix`. Each registers itself on the application; its callback runs the
// engine and records the exit status in the context.

#include <algorithm>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/app.h"

namespace varnix::cli {

struct Context {
    Streams streams;
    int status = kExitOk;

    // A file could not be processed: the run ends with status 1 (unless worse).
    void FileFailed() { status = std::max(status, kExitFileFailed); }
};

void AddDemoCommand(CLI::App& app, Context& context);

// The folder of the bundled sample media.
std::string SamplesFolder();

}  // namespace varnix::cli
