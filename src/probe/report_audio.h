#pragma once
// The information reports of the four audio formats. Every line ends with CR LF, the last one
// included; values that cannot be read show as 0.

#include <cstdint>
#include <string>

namespace varnix {

std::string AC3InformationReport(const std::string& fileName);
std::string DTSInformationReport(const std::string& fileName, char decimalSeparator = '.');
std::string MPAInformationReport(const std::string& fileName);
std::string WAVInformationReport(const std::string& fileName);

// The empty line and the three play-time lines (PAL, NTSC non-drop-frame, NTSC drop-frame) of
// `samples` at `sampleRate`; a rate of 0 shows 00:00:00.00.
std::string PlayTimeLines(std::uint32_t sampleRate, std::uint64_t samples);
// A number as a general decimal text: up to 15 significant digits, no trailing zeros, the given
// decimal separator (754.5, 1509.75, 32).
std::string GeneralDecimalText(double value, char decimalSeparator);

}  // namespace varnix
