#include "formats/mpa_file.h"

#include <cstring>

namespace varnix {

TMPAFile::TMPAFile(const std::string& fileName) : TStdIOCallback(fileName, kRead) {}

void TMPAFile::SkipID3v2() {
    seek(0, 0);
    std::array<std::uint8_t, 3> id{};
    if (read(id.data(), id.size()) < id.size()) {
        return;  // an empty file
    }
    if (std::memcmp(id.data(), "ID3", 3) != 0) {
        seek(0, 0);
        return;
    }
    seek(0, 6);
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i) {
        const std::optional<std::uint8_t> b = readByte();
        if (!b) {
            return;
        }
        size = (size << 7) | *b;  // (b0 << 21) | (b1 << 14) | (b2 << 7) | b3
    }
    seek(1, size);
}

bool TMPAFile::FindNextSync() {
    while (true) {
        const std::optional<std::uint8_t> b = readByte();
        if (!b) {
            return false;
        }
        window_[0] = window_[1];
        window_[1] = window_[2];
        window_[2] = window_[3];
        window_[3] = *b;
        if (window_[0] == 0xFF && (window_[1] & 0xE0) == 0xE0) {
            return true;
        }
    }
}

TMPAFrame* TMPAFile::NextFrame() {
    while (!current_.ParseHeader(window_)) {
        if (!FindNextSync()) {
            return nullptr;
        }
    }
    return &current_;
}

bool TMPAFile::AcceptFrame() {
    if (firstFrame_) {
        first_.CopyHeaderValues(current_);
        firstFrame_ = false;
        return true;
    }
    return current_.valid && current_.sampleRate == first_.sampleRate &&
           current_.layer == first_.layer && current_.ChannelCount() == first_.ChannelCount();
}

void TMPAFile::SkipFrame() {
    if (current_.valid && current_.PayloadLength() > 0) {
        seek(1, current_.PayloadLength());
    }
    ClearWindow();
}

void TMPAFile::ReadInfoFrame() {
    const std::int64_t start = tell();
    if (!FindNextSync()) {
        return;
    }
    TMPAFrame* frame = NextFrame();
    if (frame == nullptr) {
        return;
    }
    info_.CopyHeaderValues(*frame);
    info_.payload.assign(frame->PayloadLength(), 0);
    const std::size_t got = read(info_.payload.data(), info_.payload.size());
    if (got == info_.payload.size() && info_.DetectTag()) {
        infoTagged_ = true;
        ClearWindow();
        return;
    }
    ClearWindow();
    seek(0, start);
}

std::optional<MPAInfo> ReadMPAInfo(const std::string& fileName, bool walkWholeFile) {
    TMPAFile file(fileName);
    file.SkipID3v2();
    file.ReadInfoFrame();

    std::uint64_t samples = 0;
    std::uint64_t frames = 0;
    while (file.FindNextSync()) {
        ++frames;
        if (file.NextFrame() == nullptr) {
            break;
        }
        if (file.AcceptFrame()) {
            samples += file.CurrentFrame().SamplesPerFrame();
        }
        file.SkipFrame();
        if (!walkWholeFile) {
            break;
        }
    }

    const TMPAFrame& first = file.InfoFrame();
    if (!first.valid) {
        return std::nullopt;  // no frame at all: the walk found nothing either
    }
    MPAInfo info;
    info.version = first.version;
    info.layer = first.layer;
    info.bitRate = first.bitRate;
    info.sampleRate = first.sampleRate;
    info.channelMode = first.channelMode;
    info.emphasis = first.emphasis;
    info.crcProtected = first.crcProtected;
    info.privateBit = first.privateBit;
    info.copyright = first.copyright;
    info.original = first.original;
    info.totalSamples = samples;
    info.frameCount = frames;
    info.protection = false;
    return info;
}

}  // namespace varnix
