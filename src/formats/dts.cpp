#include "formats/dts.h"

#include "core/bitstream.h"
#include "core/errors.h"
#include "core/file_helpers.h"
#include "formats/byte_source.h"

namespace varnix {

const std::array<std::uint32_t, 16> DTSSampleRateTable = {
    0,     8000,  16000,  32000, 64000, 128000, 11025, 22050,
    44100, 88200, 176400, 12000, 24000, 48000,  96000, 192000};

const std::array<unsigned, 15> DTSChannelCounts = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 8, 8};

const std::array<const char*, 15> DTSChannelLongNames = {"1-ch A",
                                                         "2-ch A, B (dual mono)",
                                                         "2-ch A, B (stereo)",
                                                         "2-ch (L + R), (L - R) (sum-difference)",
                                                         "2-ch Lt, Rt (total)",
                                                         "3-ch L, R, C",
                                                         "3-ch L, R, S",
                                                         "4-ch L, R, C, S",
                                                         "4-ch L, R, SL, SR",
                                                         "5-ch L, R, C, SL, SR",
                                                         "6-ch L, R, CL, CR, SL, SR",
                                                         "6-ch Lf, Rf, Cf, Cr, Lr, Rr",
                                                         "7-ch L, CL, C, CR, R, SL, SR",
                                                         "8-ch L, CL, CR, R, SL1, SL2, SR1, SR2",
                                                         "8-ch L, CL, C, CR, R, SL, S, SR"};

const std::array<const char*, 15> DTSChannelShortNames = {"A",
                                                          "A + B (dual mono)",
                                                          "A + B (stereo)",
                                                          "(L + R), (L - R) (sum-difference)",
                                                          "Lt + Rt (total)",
                                                          "L + R + C",
                                                          "L + R + S",
                                                          "L + R + C + S",
                                                          "L + R + SL + SR",
                                                          "C + L + R + SL + SR",
                                                          "L + R + CL + CR + SL + SR",
                                                          "Lf + Rf + Cf + Cr + Lr + Rr",
                                                          "L + CL + C + CR + R + SL + SR",
                                                          "L + CL + CR + R + SL1 + SL2 + SR1 + SR2",
                                                          "L + CL + C + CR + R + SL + S + SR"};

const std::array<const char*, 32> DTSBitRateTexts = {
    "32",     "56",   "64",   "96",   "112",  "128",  "192",  "224",  "256",      "320",     "384",
    "448",    "512",  "576",  "640",  "768",  "896",  "1024", "1152", "1280",     "1344",    "1408",
    "1411.2", "1472", "1536", "1920", "2048", "3072", "3840", "4096", "Variable", "Lossless"};

const std::array<std::uint32_t, 30> DTSBitRateTable = {
    32000,   56000,   64000,   96000,   112000,  128000,  192000,  224000,  256000,  320000,
    384000,  448000,  512000,  576000,  640000,  754500,  896000,  1024000, 1152000, 1280000,
    1344000, 1408000, 1411200, 1472000, 1509750, 1920000, 2048000, 3072000, 3840000, 4096000};

std::uint32_t DTSSampleRate(unsigned sfreq) {
    return sfreq < DTSSampleRateTable.size() ? DTSSampleRateTable[sfreq] : 0;
}

unsigned DTSChannelCount(unsigned amode) {
    return amode < DTSChannelCounts.size() ? DTSChannelCounts[amode] : 0;
}

std::string DTSChannelLongName(unsigned amode) {
    return amode < DTSChannelLongNames.size() ? DTSChannelLongNames[amode] : "User defined";
}

std::uint32_t DTSBitRate(unsigned rateCode) {
    return rateCode < DTSBitRateTable.size() ? DTSBitRateTable[rateCode] : 0;
}

bool DTSCoreHeader::decode(std::span<const std::uint8_t> bytes) {
    *this = DTSCoreHeader{};
    std::array<std::uint8_t, 4> syncBytes{};
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
        syncBytes[i] = bytes[i];
    }
    sync = ReadBE32(syncBytes);
    TBitStream bits(bytes.size() > 4 ? bytes.subspan(4, std::min<std::size_t>(11, bytes.size() - 4))
                                     : std::span<const std::uint8_t>{});
    ftype = bits.GetBits(1);
    shortCount = bits.GetBits(5);
    cpf = bits.GetBits(1);
    nblks = bits.GetBits(7);
    fsize = bits.GetBits(14);
    amode = bits.GetBits(6);
    sfreq = bits.GetBits(4);
    rate = bits.GetBits(5);
    mix = bits.GetBits(1);
    dynf = bits.GetBits(1);
    timef = bits.GetBits(1);
    auxf = bits.GetBits(1);
    hdcd = bits.GetBits(1);
    extAudioId = bits.GetBits(3);
    extAudio = bits.GetBits(1);
    aspf = bits.GetBits(1);
    lff = bits.GetBits(2);
    hflag = bits.GetBits(1);
    if (cpf == 1) {
        hcrc = bits.GetBits(16);
    }
    filts = bits.GetBits(1);
    vernum = bits.GetBits(4);
    chist = bits.GetBits(2);
    pcmr = bits.GetBits(3);
    sumf = bits.GetBits(1);
    sums = bits.GetBits(1);
    dialnorm = bits.GetBits(4);
    return sync == kDTSSync;
}

bool DTSHeader::decode(std::span<const std::uint8_t> bytes) {
    *this = DTSHeader{};
    if (bytes.size() < kDTSHeaderBytes) {
        return false;
    }
    DTSCoreHeader core;
    const bool matched = core.decode(bytes.first(kDTSHeaderBytes));
    sync = core.sync;
    if (!matched) {
        return false;
    }
    frameType = static_cast<std::uint8_t>(core.ftype);
    deficit = static_cast<std::uint8_t>((core.shortCount + 1) % 32);
    blocks = static_cast<std::uint16_t>(core.nblks + 1);
    frameBytes = core.fsize + 1;
    channelCode = static_cast<std::uint16_t>(core.amode);
    rateIndex = static_cast<std::uint8_t>(core.sfreq != 0 ? core.sfreq - 1 : 0);
    bitRateCode = static_cast<std::uint16_t>(core.rate);
    return true;
}

std::optional<DTSHeader> ReadDTSHeader(const std::string& fileName, bool force) {
    if (!force && LowerCase(ExtensionOf(fileName)) != ".dts") {
        return std::nullopt;
    }
    DTSHeader header;
    if (!header.decode(ReadFileHead(fileName, kDTSHeaderBytes))) {
        return std::nullopt;
    }
    return header;
}

std::uint64_t CountDTSFrames(ByteSource& source) {
    std::array<std::uint8_t, kDTSHeaderBytes> bytes{};
    DTSHeader first;
    if (source.readAt(0, bytes) < bytes.size() || !first.decode(bytes)) {
        return 0;
    }
    std::uint64_t length = first.frameBytes;
    if (source.readAt(length, bytes) == bytes.size() && ReadBE32(bytes) != kDTSSync) {
        length = 2048;  // the first frame is not followed by another one where it says
    }
    return source.size() / length;
}

std::uint64_t GetDTSFrameCount(const std::string& fileName) {
    FileSource source(fileName);
    try {
        return CountDTSFrames(source);
    } catch (const IoError&) {
        return 0;  // a query: an unreadable file gives no count
    }
}

namespace {

// Every field of the first core header; none when the file is shorter than a core header.
std::optional<DTSCoreHeader> ReadCoreHeader(const std::string& fileName) {
    const auto bytes = ReadFileHead(fileName, kDTSCoreHeaderBytes);
    if (bytes.size() < kDTSCoreHeaderBytes) {
        return std::nullopt;
    }
    DTSCoreHeader core;
    core.decode(bytes);
    return core;
}

}  // namespace

std::uint32_t GetDTSSampleRate(const std::string& fileName) {
    const std::optional<DTSCoreHeader> core = ReadCoreHeader(fileName);
    return core ? DTSSampleRate(core->sfreq) : 0;
}

bool GetDTSLFE(const std::string& fileName) {
    const std::optional<DTSCoreHeader> core = ReadCoreHeader(fileName);
    return core && core->lff != 0;
}

std::string DTSHeaderReportOf(std::span<const std::uint8_t> bytes) {
    DTSCoreHeader h;
    const bool synced = h.decode(bytes);
    std::string text = synced ? "Synk ... Ok" : "Sync ... Fail";
    text += "\r\n";
    const auto line = [&text](const char* label, const std::string& value, bool last = false) {
        text += label;
        text += value;
        if (!last) {
            text += "\r\n";
        }
    };
    const auto num = [](unsigned v) { return std::to_string(v); };
    line("normal/termination? = ", num(h.ftype));
    line("deficit sample count = ", num(h.shortCount));
    line("CRC present? = ", num(h.cpf));
    line("PCM samples = ", num(h.nblks + 1));
    line("downmix enabled = ", num(h.mix));
    line("dynamic range flag = ", num(h.dynf));
    line("time stamp = ", num(h.timef));
    line("auxiliary data = ", num(h.auxf));
    line("HDCD = ", num(h.hdcd));
    line("extended coding flag = ", num(h.extAudio));
    line("audio sync word insert = ", num(h.aspf));
    line("low frequency effects = ", num(h.lff));
    line("predictor history = ", num(h.hflag));
    if (h.cpf == 1) {
        line("CRC = ", num(h.hcrc));
    }
    line("multirate interpolator = ", num(h.filts));
    line("encoder software revision = ", num(h.vernum));
    line("copy history = ", num(h.chist));
    line("PCM resolution = ", BinaryText(h.pcmr, 3));
    line("front sums difference flags = ", num(h.sumf));
    line("surround sums difference flags = ", num(h.sums));
    line("dialog normalization parameter = ", num(h.dialnorm), true);
    return text;
}

std::string DTSHeaderReport(const std::string& fileName) {
    return DTSHeaderReportOf(ReadFileHead(fileName, kDTSCoreHeaderBytes));
}

std::string BinaryText(std::uint32_t value, int n) {
    std::string text;
    for (int bit = n - 1; bit >= 0; --bit) {
        text += (bit < 32 && ((value >> bit) & 1u) != 0) ? '1' : '0';
    }
    return text;
}

}  // namespace varnix
