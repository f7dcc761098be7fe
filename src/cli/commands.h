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
void AddInfoCommand(CLI::App& app, Context& context);
void AddDurationCommand(CLI::App& app, Context& context);
void AddSplitCommand(CLI::App& app, Context& context);
void AddMergeCommand(CLI::App& app, Context& context);
void AddChaptersCommand(CLI::App& app, Context& context);

// A report text with LF line ends instead of CR LF.
std::string WithUnixLineEnds(const std::string& text);
// Names the file and what is wrong with it on standard error and marks the run as failed;
// false (and nothing printed) when the file is usable.
bool ReportFileProblem(Context& context, const std::string& fileName);

// The folder of the bundled sample media.
std::string SamplesFolder();

}  // namespace varnix::cli
