#pragma once
// The information of a media file as one record: its kind, its name, and an ordered list of named
// fields with typed values (numbers as numbers, flags as flags, time codes with their frame rate).
// The information report's text is one rendering of the record (report_text.h); any other
// rendering walks the same fields and needs no text parsed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/progress.h"
#include "core/timecode.h"
#include "formats/detect.h"
#include "formats/format_options.h"

namespace varnix {

// A time code and the frame rate it counts in (25 or 30 in the reports).
struct RatedTimeCode {
    TimeCode time;
    double fps = 25.0;

    friend bool operator==(const RatedTimeCode&, const RatedTimeCode&) = default;
};

using InfoValue = std::variant<bool, std::uint64_t, double, std::string, RatedTimeCode>;

// Where a field stands in the report's text.
enum class InfoPlacement {
    OwnLine,         // on a line of its own
    SameLine,        // on the line of the field before it, right after its value
    AfterEmptyLine,  // on a line of its own after an empty line
};

struct InfoField {
    // A stable name for machine-readable renderings, unique in the record: "bitRateKbps", "lfe".
    // A number's unit is the base unit (hertz, bytes, bits per second) unless the key names
    // another ("Kbps").
    std::string key;
    // The report's text before the value ("Bit Rate: ") and after it (" Kbps"), as they stand.
    std::string label;
    InfoValue value;
    std::string suffix;
    InfoPlacement placement = InfoPlacement::OwnLine;

    friend bool operator==(const InfoField&, const InfoField&) = default;
};

struct MediaInformation {
    MediaKind kind = MediaKind::Unknown;
    std::string fileName;  // as given
    std::vector<InfoField> fields;

    // The field of that key; null when the record has none.
    const InfoField* find(std::string_view key) const;
};

// The record of a file by its kind (detected from its content under `formats`). None for a file
// of no known kind and for a WAV file that is not PCM (or whose chunks cannot be read). Values
// that the readers cannot supply are 0 (a read error in a stream's walk gives no counts). A video
// scan shows its progress on `progress` (may be null), calls `idle` every few GOPs and throws
// EParserFileException when the file cannot be opened, IoError when it cannot be read.
std::optional<MediaInformation> ReadMediaInformation(const std::string& fileName,
                                                     ProgressIndicator* progress,
                                                     FormatOptions formats = {},
                                                     const IdleCallback& idle = {});

// Builds a field: a number, a decimal number, a text, a flag, a time code.
InfoField NumberField(std::string key, std::string label, std::uint64_t value,
                      std::string suffix = {}, InfoPlacement placement = InfoPlacement::OwnLine);
InfoField DecimalField(std::string key, std::string label, double value, std::string suffix = {});
InfoField TextField(std::string key, std::string label, std::string value,
                    InfoPlacement placement = InfoPlacement::OwnLine);
InfoField FlagField(std::string key, std::string label, bool value);
InfoField TimeField(std::string key, std::string label, RatedTimeCode value,
                    std::string suffix = {}, InfoPlacement placement = InfoPlacement::OwnLine);

}  // namespace varnix
