#pragma once
// The MPEG audio file reader: skips an ID3v2 tag, recognises a leading "Xing"/"Info" frame, and
// walks the frames with a byte-wise sync search, skipping each frame's payload. ReadMPAInfo
// sums up a stream for the probe, the reports, the lists and the cutter.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/mpa_frame.h"
#include "formats/std_io_callback.h"

namespace varnix {

struct MPAInfo {
    std::uint8_t version = 0;  // of the first frame in the file (an info frame included)
    std::uint8_t layer = 0;
    std::uint32_t bitRate = 0;  // kbit/s
    std::uint32_t sampleRate = 0;
    std::uint64_t totalSamples = 0;  // samples of all accepted frames walked
    std::uint64_t frameCount = 0;    // frames walked
    std::uint8_t channelMode = 0;
    std::uint8_t emphasis = 0;
    bool crcProtected = false;
    bool privateBit = false;
    bool copyright = false;
    bool original = false;
    bool protection = false;  // always false
};

class TMPAFile : public TStdIOCallback {
  public:
    // Opens the file for reading; throws IoError when it cannot be opened.
    explicit TMPAFile(const std::string& fileName);

    // Skips an ID3v2 tag at the start of the file (header and the size it announces).
    void SkipID3v2();
    // Reads the first frame; when its payload carries a "Xing" or "Info" tag the frame stays
    // consumed, otherwise the reader goes back to where it was.
    void ReadInfoFrame();
    // Shifts bytes into the 4-byte window until it starts with eleven 1 bits; false at the end.
    bool FindNextSync();
    // The frame in the window, searching on while the window holds no valid header; nullptr at
    // the end of the file.
    TMPAFrame* NextFrame();
    // The first frame is always accepted and remembered; later ones when they are valid and
    // match its sample rate, layer and channel count.
    bool AcceptFrame();
    // Skips the payload of a valid current frame and clears the window.
    void SkipFrame();

    const TMPAFrame& CurrentFrame() const { return current_; }
    const TMPAFrame& FirstFrame() const { return first_; }
    const TMPALameFrame& InfoFrame() const { return info_; }
    // True when ReadInfoFrame found a tagged frame.
    bool HasInfoTag() const { return infoTagged_; }

  private:
    void ClearWindow() { window_ = {}; }

    TMPAFrame current_;
    TMPAFrame first_;
    TMPALameFrame info_;
    std::array<std::uint8_t, 4> window_{};
    bool firstFrame_ = true;
    bool infoTagged_ = false;
};

// The stream information of a file: the header values of its first frame, and the samples and
// frames of the first audio frame only or, with walkWholeFile, of the whole file. None when no
// frame is found. Throws IoError when the file cannot be opened, positioned or read (a read error
// never ends the walk as if the file ended there).
std::optional<MPAInfo> ReadMPAInfo(const std::string& fileName, bool walkWholeFile);

}  // namespace varnix
