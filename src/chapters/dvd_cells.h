#pragma once
// The lengths of a DVD's chapters from the playback times of its cells (libdvdread's
// structures, as ifoOpen reads them).

#include <cstdint>
#include <optional>
#include <string>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_types.h>

#include "chapters/chapter_time.h"

namespace varnix {

// A BCD playback time hh:mm:ss:ff whose two high frame bits give the rate: 01 for 25 frames a
// second, 11 for 29.97 (frames of 1001/30000 s). Nothing when a digit is not BCD or the rate
// flag is neither (an all-zero time is 0 whatever its flag).
std::optional<ChapterTime> CellPlaybackTime(const dvd_time_t& time);

// The length of program `pgn` (from 1) of a program chain: the playback times of its cells,
// where the cells of an angle block count once (the first angle's cell). Nothing, with the
// reason in `why`, when the chain does not hold the program or a cell time is unreadable.
std::optional<ChapterTime> ProgramLength(const pgc_t& pgc, int pgn, std::string& why);

}  // namespace varnix
