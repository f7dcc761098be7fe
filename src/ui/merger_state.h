#pragma once
// What the merger window holds, apart from its controls: the list of files to merge with the
// texts of their columns, the result name, the Process button's readiness and whether a merge
// runs (working) or not (idle). The window is created once at start-up and never shown; the
// Process command fills it before a merge so that it holds what the merge used.

#include <array>
#include <string>
#include <vector>

#include "core/file_helpers.h"
#include "core/host.h"

namespace varnix {

// The extension of a file in upper case as the merger's list shows it: without its dot when it
// has three characters ("x.ac3" gives "AC3", "x.mpeg" gives ".MPEG").
std::string MergeExtensionText(const std::string& fileName);

// One row of the merger's file list: the full file name and the texts of the columns after it
// ("Duration" and "LFE" read "?????", then the extension).
struct MergeFileEntry {
    std::string fileName;
    std::array<std::string, 3> columns;
};

// Working: the list, its commands, the result name and Process are disabled and the close
// button reads "Cancel". Idle: all enabled, the button reads "Close".
enum class MergerControls { Idle, Working };

class MergerState {
  public:
    // Empties the file list, sets the result name to the platform's root, disables Process.
    void ResetMerger();
    // Appends a row for the file (nothing is opened or checked). Process is enabled once both a
    // file and a result name are there.
    void AddMergeFile(const std::string& fileName);
    // Ignores exactly the root text. A name without an extension gets the first listed file's.
    void SetResultName(const std::string& name);

    const std::vector<MergeFileEntry>& files() const { return files_; }
    const std::string& resultName() const { return resultName_; }
    // 0 nothing yet, 1 a file was added, 2 a result name was set.
    int readiness() const { return readiness_; }
    bool processEnabled() const { return processEnabled_; }

    // A merge runs: busy, the controls working, the abort flag cleared; and back to idle.
    void BeginWork();
    void EndWork();
    bool busy() const { return controls_ == MergerControls::Working; }
    MergerControls controls() const { return controls_; }
    // Set by the main window's Cancel together with its own flag.
    AbortFlag& abortFlag() { return abort_; }

  private:
    std::vector<MergeFileEntry> files_;
    std::string resultName_ = PlatformRoot();
    int readiness_ = 0;
    bool processEnabled_ = false;
    MergerControls controls_ = MergerControls::Idle;
    AbortFlag abort_{0};
};

}  // namespace varnix
