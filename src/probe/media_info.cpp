#include "probe/media_info.h"

#include "core/errors.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"

namespace varnix {

bool IsPCMWave(const std::string& fileName) {
    const WAVHeader h = ReadWAVHeader(fileName);
    return h.isRiffWave() && h.formatTag == 1;
}

void ReadAC3Description(const std::string& fileName, MediaInfoAC3& info) {
    info = MediaInfoAC3{};
    const auto head = ReadFileHead(fileName, 10);
    AC3Header h;
    h.decode(head);
    if (head.size() >= kAC3HeaderBytes) {
        static constexpr double kKiloHertz[4] = {48.0, 44.1, 32.0, 48.0};
        info.sampleRate = kKiloHertz[h.fscod & 3];
    }
    if (head.size() >= 10) {
        info.bitRate = AC3BitRate(h.bitRateIndex());
        info.audioCodingMode = h.acmod;
        info.lfe = h.lfeon ? 1 : 0;
    }
}

void ReadDTSDescription(const std::string& fileName, MediaInfoDTS& info) {
    info = MediaInfoDTS{};
    DTSCoreHeader core;
    const auto head = ReadFileHead(fileName, kDTSCoreHeaderBytes);
    if (head.size() < kDTSCoreHeaderBytes || !core.decode(head)) {
        return;
    }
    info.rateCode = core.rate;
    info.channelArrangement = core.amode;
    info.lfe = core.lff != 0 ? 1 : 0;
    info.sampleRateCode = static_cast<std::uint8_t>(core.sfreq);
}

void ReadWAVDescription(const std::string& fileName, MediaInfoWAV& info) {
    info = MediaInfoWAV{};
    const WAVHeader h = ReadWAVHeader(fileName);
    info.sampleRate = h.sampleRate;
    info.bitsPerSample = h.bitsPerSample;
    info.channels = h.channels;
}

void ReadMPADescription(const std::string& fileName, MediaInfoMPA& info) {
    info = MediaInfoMPA{};
    MPAInfo mpa;
    try {
        ReadMPAInfo(fileName, true, mpa);
    } catch (const IoError&) {
        return;
    }
    info.bitRate = mpa.bitRate;
    info.sampleRate = mpa.sampleRate;
    info.channelMode = mpa.channelMode;
}

}  // namespace varnix
