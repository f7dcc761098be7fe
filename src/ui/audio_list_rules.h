#pragma once
// Rules of the audio files lists that need no widget: which files a list takes, the column
// texts and pictures of each kind, the header check of the merge list, and the rows that stay
// in place on the merge page.

#include <optional>
#include <string>

#include "formats/detect.h"
#include "probe/media_info.h"
#include "ui/list_rules.h"

namespace varnix {

// Pictures of the rows by file kind; -1 shows none.
constexpr int kImageNone = -1;
constexpr int kImageWAV = 0;
constexpr int kImageAC3 = 1;
constexpr int kImageDTS = 2;
constexpr int kImageMPA = 3;

// The texts of the columns after "Time", and the row's picture.
struct AudioColumns {
    std::string channels;
    std::string frequency;
    std::string bitRate;
    std::string system;
    int image = kImageNone;

    friend bool operator==(const AudioColumns&, const AudioColumns&) = default;
};

// A frequency in kilohertz as the lists show it: the shortest decimal text with the given
// separator, ".0" added when that text is two characters long, then " kHz" ("48.0 kHz",
// "44.1 kHz", "8 kHz", "11.025 kHz").
std::string FrequencyText(double kilohertz, char decimalSeparator);

AudioColumns AC3Columns(const MediaInfoAC3& info, char decimalSeparator);
AudioColumns DTSColumns(const MediaInfoDTS& info, char decimalSeparator);
AudioColumns MPAColumns(const MediaInfoMPA& info, char decimalSeparator);
AudioColumns WAVColumns(const MediaInfoWAV& info, char decimalSeparator);

// The columns of a file of an audio kind, read from its description; nothing for other kinds.
std::optional<AudioColumns> AudioColumnsOfFile(const std::string& fileName, MediaKind kind,
                                               char decimalSeparator);

// Whether an added file is considered at all: a file of a known kind, and also one of no known
// kind (its header may be broken) on a merge list that has rows and no header check.
bool ConsideredForAdding(MediaKind kind, bool mergePageShown, bool checkHeader, int mergeRows);
// Whether the format checks (AudioListRefusal, cut/audio_check.h) are made: not on the merge page
// without header check once its list has a row (the first row is the reference; later files are
// merged as they are).
bool AudioChecksApply(bool mergePageShown, bool checkHeader, int listRows);

// Whether a new row is compared with the first row of the merge list: for kinds other than
// AC3, DTS and MPEG audio, on the merge page with the header check and more than one row.
bool MergeFormatChecked(MediaKind kind, bool mergePageShown, int mergeRows, bool checkHeader);
// Whether the new row's channels, frequency and bit rate texts equal the first row's.
bool SameMergeFormat(const AudioColumns& first, const AudioColumns& added);

// On the merge page without header check, the first row stays the first: Move up is refused
// with row 0 or 1 selected, Move down with row 0 or the last row selected, and Delete with row
// 0 first selected while other rows remain.
bool AudioMoveRefused(MoveDirection direction, bool mergePageShown, bool checkHeader,
                      int selectedRow, int rows);
bool AudioDeleteRefused(bool mergePageShown, bool checkHeader, int firstSelectedRow, int rows);

}  // namespace varnix
