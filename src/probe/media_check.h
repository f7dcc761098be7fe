#pragma once
// What keeps a media file from being used, in a few words for a message.

#include <string>

#include "formats/format_options.h"

namespace varnix {

// Empty when the file is of a known kind and usable; otherwise what is wrong: "no such file",
// "unknown file format", "not PCM (format tag 3)", "no \"data\" chunk", "truncated AC3 frame
// header", "no MPEG audio frame found", ...
// A file that the extended formats would take (or refuse with a reason of their own) gives that
// reason ("MPEG-2 video 704 wide"); WhyRefused tells whether the switch would take it.
std::string MediaFileProblem(const std::string& fileName, FormatOptions formats = {});

}  // namespace varnix
