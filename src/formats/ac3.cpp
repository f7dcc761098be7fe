#include "formats/ac3.h"

#include <algorithm>
#include <optional>

#include "core/errors.h"
#include "formats/byte_source.h"

namespace varnix {

// clang-format off
const std::array<std::array<std::uint16_t, kAC3FrameSizeCodes>, 3> AC3FrameSizeTable = {{
    // 48 kHz
    {64, 64, 80, 80, 96, 96, 112, 112, 128, 128, 160, 160, 192, 192, 224, 224, 256, 256, 320, 320,
     384, 384, 448, 448, 512, 512, 640, 640, 768, 768, 896, 896, 1024, 1024, 1152, 1152, 1280,
     1280},
    // 44.1 kHz
    {69, 70, 87, 88, 104, 105, 121, 122, 139, 140, 174, 175, 208, 209, 243, 244, 278, 279, 348,
     349, 417, 418, 487, 488, 557, 558, 696, 697, 835, 836, 975, 976, 1114, 1115, 1253, 1254,
     1393, 1394},
    // 32 kHz
    {96, 96, 120, 120, 144, 144, 168, 168, 192, 192, 240, 240, 288, 288, 336, 336, 384, 384, 480,
     480, 576, 576, 672, 672, 768, 768, 960, 960, 1152, 1152, 1344, 1344, 1536, 1536, 1728, 1728,
     1920, 1920},
}};

const std::array<std::uint32_t, 51> AC3BitRateTable = {
    32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
    256000, 320000, 384000, 448000, 512000, 576000, 640000,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
    256000, 320000, 384000, 448000, 512000, 576000, 640000};
// clang-format on

const std::array<unsigned, 8> AC3ChannelCounts = {2, 1, 2, 3, 3, 4, 4, 5};

const std::array<const char*, 8> AC3ChannelModeNames = {"1 : 1", "1 : 0", "2 : 0", "3 : 0",
                                                        "2 : 1", "3 : 1", "2 : 2", "3 : 2"};

const std::array<const char*, 8> AC3BitStreamModeNames = {
    "complete main", "music and effects", "visually impaired", "hearing impaired",
    "dialogue",      "commentary",        "emergency",         "voice over"};

std::uint32_t AC3SampleRate(unsigned fscod) {
    switch (fscod) {
        case 0:
        case 3:
            return 48000;
        case 1:
            return 44100;
        case 2:
            return 32000;
        default:
            return 0;
    }
}

std::uint32_t AC3FrameBytes(unsigned fscod, unsigned frmsizecod) {
    if (fscod >= 3 || frmsizecod >= kAC3FrameSizeCodes) {
        return 0;
    }
    return 2u * AC3FrameSizeTable[fscod][frmsizecod];
}

std::uint32_t AC3BitRate(unsigned bitRateIndex) {
    return bitRateIndex < AC3BitRateTable.size() ? AC3BitRateTable[bitRateIndex] : 0;
}

std::string AC3SystemText(unsigned acmod, bool lfe) {
    return "Dolby " + std::to_string(AC3ChannelCounts[acmod & 7]) + (lfe ? ".1" : ".0");
}

bool ParseAC3LFE(std::span<const std::uint8_t> header) {
    if (header.size() < kAC3HeaderBytes) {
        return false;
    }
    const unsigned acmod = header[6] >> 5;
    int optionalBits = 0;
    if ((acmod & 1) != 0 && acmod != 1) {
        optionalBits += 2;  // cmixlev
    }
    if (acmod >= 4) {
        optionalBits += 2;  // surmixlev
    }
    if (acmod == 2) {
        optionalBits += 2;  // dsurmod
    }
    // acmod takes bits 7-5 of byte 6; at most four optional bits follow, so lfeon is in byte 6.
    return ((header[6] >> (4 - optionalBits)) & 1) != 0;
}

bool AC3Header::decode(std::span<const std::uint8_t> bytes) {
    *this = AC3Header{};
    if (bytes.size() < kAC3HeaderBytes) {
        return false;
    }
    sync = bytes[0] == 0x0B && bytes[1] == 0x77;
    fscod = static_cast<std::uint8_t>(bytes[4] >> 6);
    frmsizecod = static_cast<std::uint8_t>(bytes[4] & 0x3F);
    bsid = static_cast<std::uint8_t>(bytes[5] >> 3);
    bsmod = static_cast<std::uint8_t>(bytes[5] & 7);
    acmod = static_cast<std::uint8_t>(bytes[6] >> 5);
    lfeon = ParseAC3LFE(bytes);
    return sync && frameBytes() > 0;
}

namespace {

// The first header of a file, read from `count` bytes; none when the file is shorter.
std::optional<AC3Header> ReadFirstHeader(const std::string& fileName, std::size_t count) {
    const auto head = ReadFileHead(fileName, count);
    if (head.size() < count) {
        return std::nullopt;
    }
    AC3Header header;
    header.decode(head);
    return header;
}

}  // namespace

unsigned GetAC3SampleRateCode(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3HeaderBytes);
    return h ? h->fscod : 0;
}

unsigned GetAC3ChannelMode(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3QueryBytes);
    return h ? h->acmod : 0;
}

bool GetAC3LFE(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3QueryBytes);
    return h && h->lfeon;
}

unsigned GetAC3BitStreamMode(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3QueryBytes);
    return h ? h->bsmod : 0;
}

unsigned GetAC3BitRateIndex(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3QueryBytes);
    return h ? h->bitRateIndex() : 0;
}

std::uint32_t GetAC3FrameBytes(const std::string& fileName) {
    const auto h = ReadFirstHeader(fileName, kAC3HeaderBytes);
    return h && h->sync ? h->frameBytes() : 0;
}

std::uint64_t GetAC3TotalSamples(const std::string& fileName) {
    return ReadAC3FrameLayout(fileName).totalSamples();
}

TimeCode AC3SamplesToTimeCode(unsigned fscod, double fps, std::int64_t samples) {
    return SamplesToTimeCode(static_cast<std::int32_t>(AC3SampleRate(fscod)), fps, samples);
}

std::uint64_t AC3FrameLayout::frameStart(std::uint64_t index) const {
    if (uniform) {
        if (firstFrameBytes == 0) {
            return 0;
        }
        return index > fileSize / firstFrameBytes ? fileSize
                                                  : std::min(index * firstFrameBytes, fileSize);
    }
    if (index < frameStarts.size()) {
        return frameStarts[index];
    }
    return fileSize;
}

namespace {

// The usable header at `offset` (sync word and a frame length), read on its own (a few bytes, no
// read-ahead block); none when there is no such header.
std::optional<AC3Header> HeaderAt(ByteSource& source, std::uint64_t offset) {
    std::array<std::uint8_t, kAC3HeaderBytes> bytes{};
    const std::size_t got = source.readAt(offset, bytes);
    AC3Header header;
    if (!header.decode(std::span<const std::uint8_t>(bytes.data(), got))) {
        return std::nullopt;
    }
    return header;
}

// Frames of the first frame's length at a few places spread over the file.
bool SpotChecksAgree(ByteSource& source, std::uint32_t length, std::uint64_t frames) {
    const std::uint64_t spots[] = {1, frames / 2, frames - 1};
    return std::all_of(std::begin(spots), std::end(spots), [&](std::uint64_t i) {
        const std::optional<AC3Header> h = HeaderAt(source, i * length);
        return h && h->frameBytes() == length;
    });
}

// Walks the frames from the start, each by its own length, until a position without the sync
// word, a frame length of 0, or a frame that runs past the end of the source. visit(index, start,
// length) sees every walked frame. Returns the end of the last walked frame.
template <typename Visit>
std::uint64_t WalkFrames(ByteSource& source, Visit&& visit) {
    ByteWindow window(source);
    const std::uint64_t size = source.size();
    std::uint64_t position = 0;
    std::uint64_t index = 0;
    AC3Header h;
    while (h.decode(window.peek(position, kAC3HeaderBytes))) {
        const std::uint32_t frame = h.frameBytes();
        if (position + frame > size) {
            break;
        }
        visit(index, position, frame);
        position += frame;
        ++index;
    }
    return position;
}

// How many frames a walk for frame starts takes between two idle calls: at most 7.5 MiB of the
// longest frames (3840 bytes).
constexpr std::uint64_t kFramesPerIdleCall = 2048;

// A 48 kHz or 32 kHz stream whose second, middle and last whole frames have the first frame's
// length is taken as uniform without a walk.
bool UniformWithoutWalk(ByteSource& source, const AC3Header& first, std::uint64_t wholeFrames) {
    return first.fscod != 1 && wholeFrames >= 2 &&
           SpotChecksAgree(source, first.frameBytes(), wholeFrames);
}

}  // namespace

AC3FrameLayout ReadAC3FrameLayoutOf(ByteSource& source, bool alwaysWalk) {
    AC3FrameLayout layout;
    layout.fileSize = source.size();
    const std::optional<AC3Header> firstHeader = HeaderAt(source, 0);
    if (!firstHeader) {
        return layout;
    }
    const AC3Header& first = *firstHeader;
    const std::uint32_t length = first.frameBytes();
    layout.firstFrameBytes = length;
    layout.sampleRateCode = first.fscod;
    const std::uint64_t wholeFrames = layout.fileSize / length;

    // At 48 and 32 kHz both frame-size codes of a bit rate give one length, so lengths change
    // only where the bit rate does; a few agreeing spots are taken as a uniform stream.
    if (!alwaysWalk && UniformWithoutWalk(source, first, wholeFrames)) {
        layout.frameCount = wholeFrames;
        return layout;
    }

    std::uint64_t walked = 0;
    const std::uint64_t position =
        WalkFrames(source, [&](std::uint64_t index, std::uint64_t start, std::uint32_t frame) {
            if (frame != length && layout.uniform) {
                // Up to here every frame was L long: their starts follow from the index.
                layout.uniform = false;
                layout.frameStarts.reserve(static_cast<std::size_t>(index) + 1024);
                for (std::uint64_t i = 0; i < index; ++i) {
                    layout.frameStarts.push_back(i * length);
                }
            }
            if (!layout.uniform) {
                layout.frameStarts.push_back(start);
            }
            walked = index + 1;
        });
    if (layout.uniform) {
        layout.frameCount = wholeFrames;
    } else {
        layout.frameStarts.push_back(position);
        layout.frameCount = walked;
    }
    return layout;
}

std::vector<std::uint64_t> FindAC3FrameStarts(ByteSource& source,
                                              const std::vector<std::uint64_t>& indices,
                                              bool alwaysWalk, const IdleCallback& idle) {
    AC3FrameLayout uniform;
    uniform.fileSize = source.size();
    const std::optional<AC3Header> firstHeader = HeaderAt(source, 0);
    if (!firstHeader) {
        return std::vector<std::uint64_t>(indices.size(), 0);
    }
    const AC3Header& first = *firstHeader;
    uniform.firstFrameBytes = first.frameBytes();
    uniform.sampleRateCode = first.fscod;
    uniform.frameCount = uniform.fileSize / uniform.firstFrameBytes;

    std::vector<std::uint64_t> starts(indices.size(), uniform.fileSize);
    if (alwaysWalk || !UniformWithoutWalk(source, first, uniform.frameCount)) {
        bool allFirstLength = true;
        std::uint64_t walked = 0;
        std::size_t next = 0;
        const std::uint64_t end =
            WalkFrames(source, [&](std::uint64_t index, std::uint64_t start, std::uint32_t frame) {
                allFirstLength = allFirstLength && frame == uniform.firstFrameBytes;
                for (; next < indices.size() && indices[next] <= index; ++next) {
                    starts[next] = start;
                }
                walked = index + 1;
                if (walked % kFramesPerIdleCall == 0 && idle) {
                    idle();  // a long walk lets the caller keep its window responsive
                }
            });
        if (!allFirstLength) {
            // The end of the last walked frame starts the frame after it; later frames start at
            // the end of the file.
            for (; next < indices.size() && indices[next] == walked; ++next) {
                starts[next] = end;
            }
            return starts;
        }
    }
    for (std::size_t i = 0; i < indices.size(); ++i) {
        starts[i] = uniform.frameStart(indices[i]);
    }
    return starts;
}

AC3FrameLayout ReadAC3FrameLayout(const std::string& fileName) {
    FileSource source(fileName);
    try {
        return ReadAC3FrameLayoutOf(source);
    } catch (const IoError&) {
        return AC3FrameLayout{};  // a query: an unreadable file has no frames, not fewer
    }
}

}  // namespace varnix
