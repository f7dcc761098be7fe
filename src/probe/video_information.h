#pragma once
// The information record of an MPEG video file (see media_information.h).

#include <cstdint>
#include <string>

#include "core/progress.h"
#include "probe/media_information.h"

namespace varnix {

// Whether the file is a still comes from a quick look at its first pictures; the stream values
// come from the info cache when the file has one (then with the end time and the duration), from
// that quick look otherwise. A scan shows its progress on `progress` (may be null) and calls
// `idle` every few GOPs. Throws EParserFileException when the file cannot be opened, IoError when
// it cannot be read.
MediaInformation VideoInformation(const std::string& fileName, ProgressIndicator* progress,
                                  const IdleCallback& idle = {});

// "4 : 3", "16 : 9", ...: the MPEG-2 table by aspect code; for MPEG-1 the 625-line table at
// 25 frames a second, else the 525-line table; " (Pan-scan)" added for a pan-scan window.
std::string AspectRatioText(std::uint32_t mpegVersion, std::uint32_t aspectCode, int wholeFrameRate,
                            bool panScan);

}  // namespace varnix
