#pragma once
// The merge engine: joins files, in order, into one result file. WAV files are joined under one
// canonical 44-byte header in the first file's format, each contributing the whole sample frames
// of its "data" chunk; every other file is appended whole, byte for byte. The caller hands in a
// request and gets an outcome back; what the user must answer or read goes through the host.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"
#include "formats/format_options.h"

namespace varnix {

// Blocks of a merge: its progress counts them for merges above 1,000,000 bytes.
constexpr std::uint64_t kMergeBlockBytes = 65535;
constexpr std::uint64_t kMergeBlockProgressThreshold = 1000000;

enum class MergeStatus {
    Merged,   // the result holds every file
    Refused,  // the user kept an existing result: nothing was touched
    Failed,   // an error message was shown; no complete result exists
    Aborted,  // stopped by the abort flag; the result stays as far as it was written
};

// How far a running merge is, in steps: one per file, and when the files total more than
// 1,000,000 bytes also one per 65535-byte block (the blocks a file starts count, at least one).
struct MergeProgress {
    std::int64_t position = 0;
    std::int64_t maximum = 0;
    // False once, at the end of a run that started, with position and maximum 0.
    bool running = false;

    friend bool operator==(const MergeProgress&, const MergeProgress&) = default;
};

struct MergeRequest {
    std::vector<std::string> files;  // in order
    std::string resultName;          // the full name of the result file
    FormatOptions formats;           // decides how each file is read (DetectFormat)
    // Polled after every chunk of a copy and after every file; the caller's, never written.
    const AbortFlag* abort = nullptr;
    // Called when the first file's copy starts (the result file is ready), whenever the position
    // changes (at least after every 8 MiB copied and after every file) and when the run ends.
    std::function<void(const MergeProgress&)> progress;
    // Called with a file's index in `files` before it is appended (the caller shows its row).
    std::function<void(std::size_t index)> appending;
};

struct MergeOutcome {
    MergeStatus status = MergeStatus::Failed;
    // The size of the result file when it holds what was merged (Merged, Aborted); else 0.
    std::uint64_t resultBytes = 0;
};

// Runs a merge. An existing result is replaced only when the user agrees ("Overwrite file X ?",
// Warning!); otherwise nothing changes and the outcome is Refused. A result that is one of the
// files, that cannot be deleted or created, or an I/O failure shows "Error!" and gives Failed (an
// incomplete result is removed). The abort flag stops the run after the current chunk and the
// file.
MergeOutcome MergeFiles(const MergeRequest& request);

// The name the result gets when the user gives `name` for a merge whose first file is
// `firstFile`: a name without an extension gets the first file's; the platform's root (the
// merger's empty result name) names no file and stays as it is.
std::string MergeResultName(const std::string& name, const std::string& firstFile);

// The error shown instead of writing over one of the files a job reads.
std::string OutputIsInputText(const std::string& fileName);

// Appends one file to the existing file dest. A WAV source (by content) contributes its sample
// data only; as the first file it also writes the result's header first (dest is empty then).
// Nothing is copied when the abort flag is set; otherwise the copy goes in chunks of at most
// 8 MiB, `afterChunk` getting the bytes of the source copied so far after each (once for an empty
// source) and the abort flag polled. A dest that begins with a WAV header gets its sizes
// recomputed from its length at the end. `formats` decides which files are WAV (DetectFormat).
// Throws IoError when the source cannot be opened or read or dest cannot be written.
void AppendMediaFile(const std::string& source, const std::string& dest, bool first,
                     const AbortFlag* abort,
                     const std::function<void(std::uint64_t copied)>& afterChunk,
                     FormatOptions formats = {});

}  // namespace varnix
