#include "ui/window_state.h"

namespace varnix {

int WindowTables::AddDuration(const DurationPair& pair) {
    durations_.push_back(pair);
    return static_cast<int>(durations_.size()) - 1;
}

const DurationPair* WindowTables::DurationAt(int index) const {
    if (index < 0 || index >= DurationCount()) {
        return nullptr;
    }
    return &durations_[static_cast<std::size_t>(index)];
}

void WindowTables::SetDuration(int index, const DurationPair& pair) {
    if (index >= 0 && index < DurationCount()) {
        durations_[static_cast<std::size_t>(index)] = pair;
    }
}

int WindowTables::AddFilePath(const std::string& path) {
    filePaths_.push_back(path);
    return static_cast<int>(filePaths_.size()) - 1;
}

std::string WindowTables::PathAt(int stateIndex) const {
    if (stateIndex < 0 || stateIndex >= FilePathCount()) {
        return {};
    }
    return filePaths_[static_cast<std::size_t>(stateIndex)];
}

void WindowTables::Clear() {
    durations_.clear();
    filePaths_.clear();
}

}  // namespace varnix
