#include "cut/cut_list.h"

#include "core/file_helpers.h"

namespace varnix {

namespace {

const std::string kMergedSuffix = "_Merged";

}  // namespace

int PieceNumberWidth(std::size_t rows) {
    return NumberingWidth(static_cast<std::int64_t>(rows) + 1);
}

std::string MakePieceName(const std::string& folder, const std::string& source, int n, int width) {
    std::string name = FileNameOf(source);
    const std::string ext = ExtensionOf(source);
    if (name.size() > 4) {
        name.resize(name.size() - ext.size());
    }
    return folder + name + "_" + PadNumber(n, width) + ext;
}

std::string MakeMergedName(const std::string& folder, const std::vector<std::string>& mergeList) {
    if (mergeList.empty()) {
        return {};
    }
    std::string name = FileNameOf(mergeList.front());
    const std::string ext = ExtensionOf(mergeList.front());
    if (name.size() >= 4) {
        name.resize(name.size() - ext.size());
    }
    return folder + name + kMergedSuffix + ext;
}

std::string PieceNameSource(const std::string& input, bool merged) {
    const std::string name = FileNameOf(input);
    if (!merged || name.size() <= kMergedSuffix.size()) {
        return input;
    }
    // Take "_Merged" and the extension off, whatever the extension's length (a merged file of
    // inputs without an extension has none).
    const std::string ext = ExtensionOf(input);
    const std::string tail = kMergedSuffix + ext;
    if (name.size() < tail.size() ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
        return input;
    }
    return input.substr(0, input.size() - tail.size()) + ext;
}

CutList BuildCutList(const std::vector<DurationRow>& rows, TvSystem system,
                     const std::string& folder, const std::string& nameSource) {
    const int width = PieceNumberWidth(rows.size());
    CutList list;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (!rows[k]) {
            continue;
        }
        const int n = static_cast<int>(list.size()) + 1;
        list.push_back(CutPoint{rows[k]->ForSystem(system),
                                MakePieceName(folder, nameSource, n, width), static_cast<int>(k)});
    }
    list.push_back(CutPoint{
        kToEnd, MakePieceName(folder, nameSource, static_cast<int>(list.size()) + 1, width), -1});
    return list;
}

}  // namespace varnix
