#pragma once
// Whether the audio files lists take a file: the checks both front ends make before a file may
// be cut or merged.

#include <string>

#include "formats/format_options.h"

namespace varnix {

// What the lists say about a file that does not exist or cannot be opened: its name without
// folder and " file not exist or it is opened by another application!".
std::string FileNotExistText(const std::string& fileName);

// Empty when an audio list takes the file; otherwise why not, in a few words. The file must
// exist and be readable; with `formatChecks` (every file of the cutting list, the first file of
// the merge list) also: a name ending in ".wav" and a WAV file by content must be PCM, the kind
// must be known, and neither the name (".m2v", ".m1v", ".mpg") nor the content may be video.
// `formats` decides which kinds are known (and which files are video).
std::string AudioListRefusal(const std::string& fileName, bool formatChecks = true,
                             FormatOptions formats = {});

}  // namespace varnix
