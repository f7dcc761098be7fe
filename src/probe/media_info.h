#pragma once
// The description records of the four audio formats: what the audio lists show (channels,
// sample rate, bit rate, bits) and what the information reports print.

#include <cstdint>
#include <string>

namespace varnix {

// True when the file is a RIFF WAVE file whose format tag is 1 (PCM).
bool IsPCMWave(const std::string& fileName);

struct MediaInfoAC3 {
    std::uint32_t bitRate = 0;          // bits per second of the first frame
    std::uint32_t audioCodingMode = 0;  // acmod 0..7
    double sampleRate = 0.0;            // kHz: 48.0, 44.1 or 32.0
    std::uint8_t lfe = 0;               // 1 with the low-frequency channel
};

struct MediaInfoDTS {
    std::uint32_t rateCode = 0;            // RATE, the bit-rate code
    std::uint32_t channelArrangement = 0;  // AMODE
    std::uint8_t lfe = 0;                  // 1 with the low-frequency channel
    // SFREQ, the sample-rate code: DTSSampleRate() of it gives the rate in Hz.
    std::uint8_t sampleRateCode = 0;
};

struct MediaInfoWAV {
    std::uint32_t sampleRate = 0;
    std::uint32_t bitsPerSample = 0;
    std::uint32_t channels = 0;
};

struct MediaInfoMPA {
    std::uint32_t bitRate = 0;     // kbit/s
    std::uint32_t sampleRate = 0;  // Hz
    std::uint8_t channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
};

// Each gives the record of the first frame or the header; the MPEG audio one walks the whole
// file. A file that cannot be read gives a zero record (the lists show zeros for it).
MediaInfoAC3 ReadAC3Description(const std::string& fileName);
MediaInfoDTS ReadDTSDescription(const std::string& fileName);
MediaInfoWAV ReadWAVDescription(const std::string& fileName);
MediaInfoMPA ReadMPADescription(const std::string& fileName);

}  // namespace varnix
