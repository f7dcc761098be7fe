#pragma once
// The merger: the state behind a merge of several files into one result file. The desktop
// program keeps one for its whole run (its merger window is never shown) and the split job
// drives it before cutting a merged file; the merge engine works on it.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"
#include "core/progress.h"

namespace varnix {

// The result name a merger starts with and that SetResultName ignores: the platform's root.
#ifdef _WIN32
inline constexpr const char* kMergerRootName = "C:\\";
#else
inline constexpr const char* kMergerRootName = "/";
#endif

// The extension of a file in upper case as the merger's list shows it: without its dot when it
// has three characters ("x.ac3" gives "AC3", "x.mpeg" gives ".MPEG").
std::string MergeExtensionText(const std::string& fileName);

// One row of the merger's file list: the full file name and the texts of the columns after it
// ("Duration", "LFE", then the extension in the third).
struct MergeFileEntry {
    std::string fileName;
    std::array<std::string, 3> columns;
};

// Working: the list, its commands, the result name and Process are disabled and the close
// button reads "Cancel". Idle: all enabled, the button reads "Close".
enum class MergerControls { Idle, Working };

class Merger {
  public:
    Merger() = default;
    Merger(const Merger&) = delete;
    Merger& operator=(const Merger&) = delete;

    // Empties the file list, sets the result name to the root, disables Process.
    void ResetMerger();
    // Shows progress on `bar` instead of the merger's own until ReturnProgressBar.
    void LendProgressBar(ProgressIndicator* bar);
    void ReturnProgressBar();
    // Appends a row for the file (nothing is opened or checked). Process is enabled once both a
    // file and a result name are there.
    void AddMergeFile(const std::string& fileName);
    // Ignores exactly the root text. A name without an extension gets the first listed file's.
    void SetResultName(const std::string& name);

    const std::vector<MergeFileEntry>& files() const { return files_; }
    std::vector<std::string> fileNames() const;
    const std::string& resultName() const { return resultName_; }
    // 0 nothing yet, 1 a file was added, 2 a result name was set.
    int readiness() const { return readiness_; }
    bool processEnabled() const { return processEnabled_; }
    bool busy() const { return busy_; }
    // Stops a running merge; the window's Cancel sets it together with its own flag.
    AbortFlag& abortFlag() { return abort_; }
    // The progress display in use: the lent one, or the merger's own.
    ProgressIndicator& progress() { return *progress_; }
    MergerControls controls() const { return controls_; }
    // Called whenever the controls switch between idle and working.
    void setControlsListener(std::function<void(MergerControls)> listener) {
        controlsListener_ = std::move(listener);
    }

    // Sum of the listed files' sizes, taken when a merge starts.
    std::uint64_t totalSize() const { return totalSize_; }
    // Used by the merge engine: busy with the controls working and the abort flag cleared, and
    // back to idle (progress maximum 0, position at the minimum).
    void beginWork(std::uint64_t totalSize);
    void endWork();

  private:
    void setControls(MergerControls controls);

    std::vector<MergeFileEntry> files_;
    std::string resultName_ = kMergerRootName;
    int readiness_ = 0;
    bool processEnabled_ = false;
    bool busy_ = false;
    AbortFlag abort_{0};
    ProgressState ownProgress_;
    ProgressIndicator* progress_ = &ownProgress_;
    MergerControls controls_ = MergerControls::Idle;
    std::function<void(MergerControls)> controlsListener_;
    std::uint64_t totalSize_ = 0;
};

}  // namespace varnix
