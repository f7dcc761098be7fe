#pragma once
// The subcommands of `varnix`. Each registers itself on the application; its callback runs the
// engine and records the exit status in the context.

#include <algorithm>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/app.h"
#include "formats/format_options.h"

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

// The option that turns the extended formats on, as messages name it.
inline constexpr const char* kExtendedOption = "--extended";
// Adds -x/--extended to a command; parsing sets `formats.extended`.
void AddExtendedFlag(CLI::App& command, FormatOptions& formats);

// A report text with LF line ends instead of CR LF.
std::string WithUnixLineEnds(const std::string& text);
// What is wrong with a file under the options, in a few words; for a file that the extended
// formats would take, the reason and the option ("MPEG-2 video 704 wide: accepted with
// --extended"). Empty when the file is usable.
std::string FileProblemText(const std::string& fileName, FormatOptions formats);
// Names the file and what is wrong with it on standard error and marks the run as failed;
// false (and nothing printed) when the file is usable.
bool ReportFileProblem(Context& context, const std::string& fileName, FormatOptions formats);

// The folder of the bundled sample media, found relative to the folder of the running program
// (share/varnix/samples beside its bin folder); "" when the program's folder is unknown.
std::string SamplesFolder();

}  // namespace varnix::cli
