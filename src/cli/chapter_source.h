#pragma once
// Chapter lists as a source of durations for the command line: `varnix chapters` and
// `split -C`.

#include <string>

#include "chapters/chapter_reader.h"
#include "formats/format_options.h"

namespace varnix::cli {

// Options for reading chapter lists under a TV system and DVD title (0: the longest). The lengths
// of the files a CUE sheet or dvdauthor project chains are the exact play times of those files when
// they are audio of a kind Varnix reads under `formats`.
ChapterReadOptions ChapterOptions(TvSystem system, int title, FormatOptions formats);

}  // namespace varnix::cli
