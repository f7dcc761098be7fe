#pragma once
// The merge engine: joins the files of the merger's list, in list order, into its result file.
// WAV files are joined under one canonical 44-byte header in the first file's format, each
// contributing the whole sample frames of its "data" chunk; every other file is appended whole,
// byte for byte.

#include <functional>
#include <string>

#include "core/host.h"
#include "formats/format_options.h"
#include "merge/merger.h"

namespace varnix {

// Copy blocks of the merge: the progress display counts them for merges above 1,000,000 bytes.
constexpr std::uint64_t kMergeBlockBytes = 65535;
constexpr std::uint64_t kMergeBlockProgressThreshold = 1000000;

enum class MergeOutcome {
    Merged,   // the result holds every file
    Refused,  // the user kept an existing result: nothing was touched
    Failed,   // an error message was shown; no complete result exists
    Aborted,  // stopped by the abort flag; the result stays as far as it was written
};

// Titles of the messages of merges and split jobs.
inline constexpr const char* kErrorTitle = "Error!";
inline constexpr const char* kWarningTitle = "Warning!";

// The error shown instead of writing over one of the files a job reads.
std::string OutputIsInputText(const std::string& fileName);

// Shows the caller's row of the file being appended (its index in the merger's list).
using MergeHighlight = std::function<void(int index)>;

// Appends one file to the existing file dest. A WAV source (by content) contributes its sample
// data only; as the first file it also writes the result's header first (dest is empty then).
// blockCallback runs before every 65535-byte block of the source's bytes; the abort flag is
// polled after it (at least once per 8 MiB actually copied). A dest that begins with a WAV header
// gets its sizes recomputed from its length at the end. Throws IoError when the source cannot be
// opened or read or dest cannot be written.
// `formats` decides which files are WAV (DetectFormat).
void AppendMediaFile(const std::string& source, const std::string& dest, bool first,
                     const AbortFlag* abort, const std::function<void()>& blockCallback,
                     FormatOptions formats = {});

// The block callback of a merge: one step of the progress display when the files total more
// than 1,000,000 bytes, nothing otherwise.
void MergeProgressStep(Merger& merger);

// Runs the merge of the merger's list into its result name. An existing result is replaced only
// when the user agrees ("Overwrite file X ?"); otherwise `mainAbort` (the window's flag) is set
// and nothing changes. A result that is one of the listed files, that cannot be deleted or
// created, or an I/O failure shows "Error!" and gives Failed (an incomplete result is removed).
// `mainAbort` set during the run stops it like the merger's own abort flag.
// `formats` decides how each file is read (DetectFormat).
MergeOutcome Merge(Merger& merger, const MergeHighlight& highlight, AbortFlag* mainAbort,
                   FormatOptions formats = {});

}  // namespace varnix
