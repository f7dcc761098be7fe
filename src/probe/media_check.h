#pragma once
// What keeps a media file from being used, in a few words for a message.

#include <string>

namespace varnix {

// Empty when the file is of a known kind and usable; otherwise what is wrong: "no such file",
// "unknown file format", "not PCM (format tag 3)", "no \"data\" chunk", "truncated AC3 frame
// header", "no MPEG audio frame found", ...
std::string MediaFileProblem(const std::string& fileName);

}  // namespace varnix
