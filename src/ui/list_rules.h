#pragma once
// Rules shared by the three lists that need no widget: where a moved row lands, which row is
// selected after a delete, and the open dialogs' filters in the toolkit's syntax.

#include <string>
#include <string_view>
#include <vector>

namespace varnix {

enum class MoveDirection { Up, Down };

// The index at which a row taken out of a list of `rows` rows is inserted again: one place up
// or down, the first row wrapping to the end and the last to the top. -1 when `row` names no
// row.
int MoveTarget(MoveDirection direction, int row, int rows);

// The row selected after a delete: the row at the old index of the first deleted row, or the
// last row when that index is now past the end; -1 when no row is left or none was selected.
int RowAfterDelete(int firstDeletedRow, int remainingRows);

// The open dialogs' filters: pairs of a name and its patterns, all separated by "|"; the
// patterns of one entry by ";".
inline constexpr std::string_view kDurationsOpenFilter =
    "All files (*.*)|*.*|All Data Files|*.m2v;*.m1v;*.mpg;*.mpeg;*.mpv;*.mpv2;*.mp2v;*.m2p;*.mps;"
    "*.ac3;*.dts;*.wav;*.mpa;*.mp2;*.mp1;*.m2a;*.m1a|All Video Files|*.m2v;*.m1v;*.mpg;*.mpeg;"
    "*.mpv;*.mpv2;*.mp2v;*.m2p;*.mps| Mpeg1, Mpeg2 Video (m1v, m2v, mpeg, mpg, mpv)|*.m2v;*.m1v;"
    "*.mpg;*.mpeg;*.mpv;*.mpv2;*.mp2v;*.m2p| Mpeg1, Mpeg2 Still (mps)|*.mps|All Audio Files|"
    "*.ac3;*.dts;*.wav;*.mpa;*.mp2;*.mp1;*.m2a;*.m1a| Dolby Digital Audio (ac3)|*.ac3| Digital "
    "Theater Sound (dts)|*.dts| Mpeg1, Mpeg2 Audio (mpa, mp2, mp1, m2a, m1a)|*.mpa;*.mp2;*.mp1;"
    "*.m2a;*.m1a| Windows Wave (PCM) Audio (wav)|*.wav";
inline constexpr std::string_view kAudioOpenFilter =
    "All files (*.*)|*.*|All Data Files|*.ac3;*.dts;*.wav;*.mpa;*.mp2;*.mp1;*.m2a;*.m1a|All "
    "Audio Files|*.ac3;*.dts;*.wav;*.mpa;*.mp2;*.mp1;*.m2a;*.m1a| Dolby Digital Audio (ac3)|"
    "*.ac3| Digital Theater Sound (dts)|*.dts| Mpeg1, Mpeg2  Audio (mpa, mp2, mp1, m2a, m1a)|"
    "*.mpa;*.mp2;*.mp1;*.m2a;*.m1a| Windows Wave (PCM) Audio (wav)|*.wav";

struct FileFilterEntry {
    std::string name;
    std::vector<std::string> patterns;
};
// The entries of a filter text; an entry without patterns is left out.
std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);

// The entries as the toolkit's name filters: the name followed by its patterns in parentheses,
// separated by spaces ("All Audio Files (*.ac3 *.dts)"). The dialog shows only the names. With
// `posix`, "*.*" becomes "*": there it would hide the files whose names have no dot.
std::vector<std::string> ToolkitNameFilters(std::string_view filter, bool posix);

}  // namespace varnix
