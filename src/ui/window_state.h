#pragma once
// The state that the main window shares with its lists and its jobs, apart from the controls:
// the TV system, the busy and abort bytes, and the two tables that list rows point into.

#include <cstdint>
#include <string>
#include <vector>

#include "core/host.h"
#include "core/timecode.h"
#include "probe/duration_pair.h"

namespace varnix {

// The tables only grow while the program runs: deleting rows leaves their entries in place, so
// the indices that other rows keep stay valid.
class WindowTables {
  public:
    // Appends a pair and returns its index (a row's item data).
    int AddDuration(const DurationPair& pair);
    // The pair of an index; nullptr when the index names none.
    const DurationPair* DurationAt(int index) const;
    void SetDuration(int index, const DurationPair& pair);

    // Appends a full file name and returns its index (a row's state index).
    int AddFilePath(const std::string& path);
    // The file name of a state index; the empty text for -1 or an index that names none.
    std::string PathAt(int stateIndex) const;

    int DurationCount() const { return static_cast<int>(durations_.size()); }
    int FilePathCount() const { return static_cast<int>(filePaths_.size()); }
    void Clear();

  private:
    std::vector<DurationPair> durations_;
    std::vector<std::string> filePaths_;
};

// The one row being moved between two places of a list: the texts of its columns (caption
// first), its state index, its image index and its item data.
struct MovedItem {
    std::vector<std::string> texts;
    int stateIndex = -1;
    int imageIndex = -1;
    int itemData = -1;
    bool IsEmpty() const { return texts.empty(); }
    void Clear() { *this = MovedItem{}; }
};

struct WindowState {
    // The TV system chosen in the window (stored as the setting SplitterModeNTSC).
    TvSystem system = TvSystem::Ntsc;
    // 1 while a video scan or a job runs (a BusyScope of the window sets and clears it).
    varnix::AbortFlag busy{0};
    // Set to 1 to stop a running scan or job; cleared before each one.
    varnix::AbortFlag abort{0};
    // The durations and file names that list rows point into.
    WindowTables tables;
    // The row that a move has taken out and not yet put back.
    MovedItem movedRow;
};

}  // namespace varnix
