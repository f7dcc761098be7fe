#pragma once
// Which files the lists take: the checks both front ends make before a file may give a duration,
// be cut or be merged.

#include <string>

#include "formats/format_options.h"

namespace varnix {

// Why a list does not take a file.
enum class ListRefusal {
    None,           // the list takes it
    Missing,        // it does not exist or cannot be opened for reading
    NotPCMWave,     // a name ending in ".wav" or a WAV file by content that is not PCM
    UnknownFormat,  // of no known kind
    Video,          // a video file by name (".m2v", ".m1v", ".mpg") or by content
};

// The reason in a few words for a message ("not a PCM WAV file"); empty for None.
std::string ListRefusalText(ListRefusal refusal);

// What the lists say about a file that does not exist or cannot be opened: its name without
// folder and " file not exist or it is opened by another application!".
std::string FileNotExistText(const std::string& fileName);

// Whether an audio list takes the file. It must exist and be readable; with `formatChecks` (every
// file of the cutting list, the first file of the merge list) also, in this order: a name ending
// in ".wav" and a WAV file by content must be PCM, the kind must be known, and neither the name
// nor the content may be video. Names are compared with their letter case. `formats` decides which
// kinds are known (and which files are video).
ListRefusal AudioListRefusal(const std::string& fileName, bool formatChecks = true,
                             FormatOptions formats = {});

// Whether the durations list takes the file: it must exist and be readable, and a name ending in
// ".wav" and a WAV file by content must be PCM.
ListRefusal DurationListRefusal(const std::string& fileName, FormatOptions formats = {});

}  // namespace varnix
