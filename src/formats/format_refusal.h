#pragma once
// Why a file that detection does not take is refused, and whether the extended formats would take
// it: the one place that knows the reasons, so that the command line and the window say the same.

#include <cstdint>
#include <span>
#include <string>

#include "formats/format_options.h"

namespace varnix {

struct FormatRefusal {
    // What the file is and why it is not taken, in a few words ("MPEG-2 video 704 wide", "MPEG
    // program stream"); empty when the file is taken under the options, or holds nothing known.
    std::string reason;
    // Turning the extended formats on would take the file.
    bool extendedAccepts = false;

    bool refused() const { return !reason.empty(); }
};

// The refusal of a file under `options`. A file whose kind DetectFormat gives under them is not
// refused. With the extended formats on, only files that they cannot take either have a reason
// (a program stream whose video is not MPEG-1/2, say).
FormatRefusal WhyRefused(const std::string& fileName, FormatOptions options);
// The same for the leading bytes of a file (as many as DetectionHeadBytes of the extended
// options gives, or all of a shorter file).
FormatRefusal WhyRefusedBytes(std::span<const std::uint8_t> head, FormatOptions options);

// The reason with what turns the extended formats on, when that would take the file:
// "MPEG-2 video 704 wide: accepted with --extended" for the option text "--extended".
std::string RefusalText(const FormatRefusal& refusal, const std::string& extendedOption);

}  // namespace varnix
