#pragma once
// The information records of the four audio formats (see media_information.h).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "probe/media_information.h"

namespace varnix {

// The record of each format, whatever the file's content says. The AC3 and DTS headers are read
// once and decoded once for all their fields; values that cannot be read are 0.
MediaInformation AC3Information(const std::string& fileName);
MediaInformation DTSInformation(const std::string& fileName);
MediaInformation MPAInformation(const std::string& fileName);
// None for a file that is not a PCM WAVE file.
std::optional<MediaInformation> WAVInformation(const std::string& fileName);

// The three play times of `samples` at `sampleRate` (PAL, NTSC non-drop-frame, NTSC drop-frame),
// each the duration that the durations list would show; a rate of 0, or a stream too short to
// reach a frame, gives 00:00:00.00. The first stands after an empty line.
std::vector<InfoField> PlayTimeFields(std::uint32_t sampleRate, std::uint64_t samples);

}  // namespace varnix
