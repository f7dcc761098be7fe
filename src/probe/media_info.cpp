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

MediaInfoAC3 ReadAC3Description(const std::string& fileName) {
    MediaInfoAC3 info;
    const auto head = ReadFileHead(fileName, kAC3QueryBytes);
    AC3Header h;
    h.decode(head);
    if (head.size() >= kAC3HeaderBytes) {
        static constexpr double kKiloHertz[4] = {48.0, 44.1, 32.0, 48.0};
        info.sampleRate = kKiloHertz[h.fscod & 3];
    }
    if (head.size() >= kAC3QueryBytes) {
        info.bitRate = AC3BitRate(h.bitRateIndex());
        info.audioCodingMode = h.acmod;
        info.lfe = h.lfeon ? 1 : 0;
    }
    return info;
}

MediaInfoDTS ReadDTSDescription(const std::string& fileName) {
    MediaInfoDTS info;
    DTSCoreHeader core;
    const auto head = ReadFileHead(fileName, kDTSCoreHeaderBytes);
    if (head.size() < kDTSCoreHeaderBytes || !core.decode(head)) {
        return info;
    }
    info.rateCode = core.rate;
    info.channelArrangement = core.amode;
    info.lfe = core.lff != 0 ? 1 : 0;
    info.sampleRateCode = static_cast<std::uint8_t>(core.sfreq);
    return info;
}

MediaInfoWAV ReadWAVDescription(const std::string& fileName) {
    const WAVHeader h = ReadWAVHeader(fileName);
    MediaInfoWAV info;
    info.sampleRate = h.sampleRate;
    info.bitsPerSample = h.bitsPerSample;
    info.channels = h.channels;
    return info;
}

MediaInfoMPA ReadMPADescription(const std::string& fileName) {
    MediaInfoMPA info;
    std::optional<MPAInfo> mpa;
    try {
        mpa = ReadMPAInfo(fileName, true);
    } catch (const IoError&) {
        return info;
    }
    if (mpa) {
        info.bitRate = mpa->bitRate;
        info.sampleRate = mpa->sampleRate;
        info.channelMode = mpa->channelMode;
    }
    return info;
}

}  // namespace varnix
