#include "probe/media_check.h"

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/format_refusal.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"

namespace varnix {

namespace {

std::string AC3Problem(const std::string& fileName) {
    AC3Header h;
    const auto head = ReadFileHead(fileName, kAC3QueryBytes);
    if (head.size() < kAC3QueryBytes) {
        return "truncated AC3 frame header";
    }
    h.decode(head);
    if (h.fscod == 3) {
        return "reserved AC3 sample rate code 3";
    }
    if (h.frmsizecod >= kAC3FrameSizeCodes) {
        return "AC3 frame size code " + std::to_string(h.frmsizecod) + " is outside the table";
    }
    return {};
}

std::string DTSProblem(const std::string& fileName) {
    const auto head = ReadFileHead(fileName, kDTSCoreHeaderBytes);
    if (head.size() < kDTSCoreHeaderBytes) {
        return "truncated DTS frame header";
    }
    DTSCoreHeader core;
    core.decode(head);
    if (DTSSampleRate(core.sfreq) == 0) {
        return "invalid DTS sample rate code " + std::to_string(core.sfreq);
    }
    return {};
}

std::string WAVProblem(const std::string& fileName) {
    const WAVLayout layout = ReadWAVLayout(fileName);
    const WAVHeader& h = layout.header;
    if (!layout.riffWave) {
        return "no RIFF WAVE header";
    }
    if (!layout.formatFound) {
        return "no usable \"fmt \" chunk";
    }
    if (h.formatTag != 1) {
        return "not PCM (format tag " + std::to_string(h.formatTag) + ")";
    }
    if (h.channels == 0) {
        return "the format chunk gives 0 channels";
    }
    if (h.bitsPerSample < 8) {
        return "the format chunk gives " + std::to_string(h.bitsPerSample) + " bits per sample";
    }
    if (h.sampleRate == 0) {
        return "the format chunk gives the sample rate 0";
    }
    if (h.bytesPerSampleFrame() == 0) {
        return "the byte rate " + std::to_string(h.byteRate) + " gives no whole sample frame";
    }
    if (!layout.dataFound) {
        return "no \"data\" chunk";
    }
    return {};
}

std::string MPAProblem(const std::string& fileName) {
    try {
        const std::optional<MPAInfo> info = ReadMPAInfo(fileName, false);
        if (!info || info->sampleRate == 0) {
            return "no MPEG audio frame found";
        }
        if (info->bitRate == 0) {
            return "free-format MPEG audio (no bit rate in the frame headers)";
        }
    } catch (const IoError& e) {
        return e.what();
    }
    return {};
}

}  // namespace

std::string MediaFileProblem(const std::string& fileName, FormatOptions formats) {
    if (!FileExists(fileName)) {
        return FolderExists(fileName) ? "is a folder" : "no such file";
    }
    if (!BinaryFile(fileName, BinaryFile::Mode::Read).isOpen()) {
        return "cannot be opened for reading";
    }
    const MediaKind kind = DetectFormat(fileName, formats);
    if (kind == MediaKind::Unknown) {
        const FormatRefusal refusal = WhyRefused(fileName, formats);
        return refusal.refused() ? refusal.reason : "unknown file format";
    }
    if (kind == MediaKind::AC3) {
        return AC3Problem(fileName);
    }
    if (kind == MediaKind::DTS) {
        return DTSProblem(fileName);
    }
    if (kind == MediaKind::WAV) {
        return WAVProblem(fileName);
    }
    if (kind == MediaKind::MPA) {
        return MPAProblem(fileName);
    }
    return {};
}

}  // namespace varnix
