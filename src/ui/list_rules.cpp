#include "ui/list_rules.h"

namespace varnix {

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(
            text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

int MoveTarget(MoveDirection direction, int row, int rows) {
    if (row < 0 || row >= rows) {
        return -1;
    }
    const int last = rows - 1;
    if (direction == MoveDirection::Up) {
        return row > 0 ? row - 1 : last;
    }
    return row < last ? row + 1 : 0;
}

int RowAfterDelete(int firstDeletedRow, int remainingRows) {
    if (firstDeletedRow < 0 || remainingRows <= 0) {
        return -1;
    }
    return firstDeletedRow < remainingRows ? firstDeletedRow : remainingRows - 1;
}

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter) {
    const std::vector<std::string> parts = Split(filter, '|');
    std::vector<FileFilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilterEntry entry{parts[i], {}};
        for (std::string& pattern : Split(parts[i + 1], ';')) {
            if (!pattern.empty()) {
                entry.patterns.push_back(std::move(pattern));
            }
        }
        if (!entry.patterns.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::vector<std::string> ToolkitNameFilters(std::string_view filter, bool posix) {
    std::vector<std::string> filters;
    for (const FileFilterEntry& entry : ParseFileFilter(filter)) {
        std::string text = entry.name + " (";
        for (std::size_t i = 0; i < entry.patterns.size(); ++i) {
            const bool everything = posix && entry.patterns[i] == "*.*";
            text += (i > 0 ? " " : "") + (everything ? std::string("*") : entry.patterns[i]);
        }
        filters.push_back(text + ")");
    }
    return filters;
}

}  // namespace varnix
