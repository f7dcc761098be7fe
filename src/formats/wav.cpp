#include "formats/wav.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "core/range_copy.h"
#include "formats/byte_source.h"

namespace varnix {

namespace {

void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::array<char, 4> Id(std::span<const std::uint8_t> b) {
    return {static_cast<char>(b[0]), static_cast<char>(b[1]), static_cast<char>(b[2]),
            static_cast<char>(b[3])};
}

bool IdIs(const std::array<char, 4>& id, const char* text) {
    return std::memcmp(id.data(), text, 4) == 0;
}

// A chunk id is four printable ASCII characters.
bool LooksLikeChunkId(std::span<const std::uint8_t> b) {
    return b.size() >= 4 && std::all_of(b.begin(), b.begin() + 4,
                                        [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

std::uint32_t Clamp32(std::uint64_t v) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, 0xFFFFFFFFu));
}

}  // namespace

std::array<std::uint8_t, WAVHeader::kSize> WAVHeader::toBytes() const {
    std::array<std::uint8_t, kSize> b{};
    std::memcpy(&b[0], riffId.data(), 4);
    PutLE32(&b[4], riffSize);
    std::memcpy(&b[8], waveId.data(), 4);
    std::memcpy(&b[12], fmtId.data(), 4);
    PutLE32(&b[16], fmtSize);
    PutLE16(&b[20], formatTag);
    PutLE16(&b[22], channels);
    PutLE32(&b[24], sampleRate);
    PutLE32(&b[28], byteRate);
    PutLE16(&b[32], blockAlign);
    PutLE16(&b[34], bitsPerSample);
    std::memcpy(&b[36], dataId.data(), 4);
    PutLE32(&b[40], dataSize);
    return b;
}

WAVHeader WAVHeader::fromBytes(std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, kSize> b{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), b.begin());
    const std::span<const std::uint8_t> s(b);
    WAVHeader h;
    h.riffId = Id(s.subspan(0));
    h.riffSize = ReadLE32(s.subspan(4));
    h.waveId = Id(s.subspan(8));
    h.fmtId = Id(s.subspan(12));
    h.fmtSize = ReadLE32(s.subspan(16));
    h.formatTag = ReadLE16(s.subspan(20));
    h.channels = ReadLE16(s.subspan(22));
    h.sampleRate = ReadLE32(s.subspan(24));
    h.byteRate = ReadLE32(s.subspan(28));
    h.blockAlign = ReadLE16(s.subspan(32));
    h.bitsPerSample = ReadLE16(s.subspan(34));
    h.dataId = Id(s.subspan(36));
    h.dataSize = ReadLE32(s.subspan(40));
    return h;
}

bool WAVHeader::isRiffWave() const {
    return IdIs(riffId, "RIFF") && IdIs(waveId, "WAVE");
}

WAVHeader CanonicalWAVHeader(const WAVHeader& format, std::uint64_t dataSize) {
    WAVHeader h = format;
    std::memcpy(h.riffId.data(), "RIFF", 4);
    std::memcpy(h.waveId.data(), "WAVE", 4);
    std::memcpy(h.fmtId.data(), "fmt ", 4);
    std::memcpy(h.dataId.data(), "data", 4);
    h.fmtSize = 16;
    h.dataSize = Clamp32(dataSize);
    h.riffSize = Clamp32(dataSize + 36);
    return h;
}

WAVLayout ReadWAVLayoutOf(ByteSource& source) {
    WAVLayout layout;
    layout.fileSize = source.size();
    ByteWindow window(source, 64 * 1024);

    const auto riff = window.peek(0, 12);
    if (riff.size() < 12) {
        return layout;
    }
    layout.header.riffId = Id(riff);
    layout.header.riffSize = ReadLE32(riff.subspan(4));
    layout.header.waveId = Id(riff.subspan(8));
    if (!IdIs(layout.header.waveId, "WAVE")) {
        return layout;
    }
    layout.riffWave = IdIs(layout.header.riffId, "RIFF");

    // Real files hold a handful of chunks; the cap keeps a damaged file from taking long.
    constexpr int kMaxChunks = 65536;
    bool formatSeen = false;
    std::uint64_t position = 12;
    for (int chunks = 0; chunks < kMaxChunks && !(formatSeen && layout.dataFound); ++chunks) {
        const auto chunk = window.peek(position, 8);
        if (chunk.size() < 8) {
            break;
        }
        const auto id = Id(chunk);
        const std::uint32_t size = ReadLE32(chunk.subspan(4));
        const std::uint64_t body = position + 8;
        if (IdIs(id, "fmt ") && !formatSeen) {
            formatSeen = true;
            layout.header.fmtId = id;
            layout.header.fmtSize = size;
            if (size != 16 && size != 18 && size != 40) {
                break;  // no usable format block
            }
            const auto format = window.peek(body, 16);
            if (format.size() < 16) {
                break;
            }
            layout.header.formatTag = ReadLE16(format);
            layout.header.channels = ReadLE16(format.subspan(2));
            layout.header.sampleRate = ReadLE32(format.subspan(4));
            layout.header.byteRate = ReadLE32(format.subspan(8));
            layout.header.blockAlign = ReadLE16(format.subspan(12));
            layout.header.bitsPerSample = ReadLE16(format.subspan(14));
            layout.formatFound = true;
        } else if (IdIs(id, "data") && !layout.dataFound) {
            layout.dataFound = true;
            layout.header.dataId = id;
            layout.header.dataSize = size;
            layout.dataStart = body;
            const std::uint64_t available = layout.fileSize - body;
            layout.dataSize = (size == 0 || size > available) ? available : size;
            if (layout.dataSize == available) {
                break;  // the samples run to the end of the file: no chunk follows
            }
        }
        std::uint64_t next = body + size;
        if ((size & 1) != 0) {
            // RIFF pads odd chunks to an even size; some writers leave the pad byte out.
            const bool paddedId = LooksLikeChunkId(window.peek(next + 1, 4));
            const bool unpaddedId = LooksLikeChunkId(window.peek(next, 4));
            next += (paddedId || !unpaddedId) ? 1 : 0;
        }
        if (next > layout.fileSize) {
            break;  // the chunk runs past the end of the file
        }
        position = next;
    }
    return layout;
}

WAVLayout ReadWAVLayout(const std::string& fileName) {
    FileSource source(fileName);
    try {
        return ReadWAVLayoutOf(source);
    } catch (const IoError&) {
        return WAVLayout{};  // a query: an unreadable file gives nothing
    }
}

WAVLayout ReadWAVLayoutFrom(BinaryFile& file) {
    file.seek(0);
    FileSource source(file);
    const WAVLayout layout = ReadWAVLayoutOf(source);
    if (layout.dataFound) {
        file.seek(static_cast<std::int64_t>(layout.dataStart));
    } else {
        file.seekEnd();
    }
    return layout;
}

WAVHeader ReadWAVHeader(const std::string& fileName) {
    return ReadWAVLayout(fileName).header;
}

WAVHeader ReadWAVHeaderFrom(BinaryFile& file) {
    return ReadWAVLayoutFrom(file).header;
}

bool FixWAVHeader(const std::string& fileName) {
    BinaryFile file(fileName, BinaryFile::Mode::ReadWrite);
    if (!file) {
        return false;
    }
    const std::int64_t size = file.size();
    if (size < static_cast<std::int64_t>(WAVHeader::kSize)) {
        return false;
    }
    std::array<std::uint8_t, WAVHeader::kSize> bytes{};
    if (file.read(bytes.data(), bytes.size()) != bytes.size()) {
        return false;
    }
    const WAVHeader h = CanonicalWAVHeader(WAVHeader::fromBytes(bytes),
                                           static_cast<std::uint64_t>(size) - WAVHeader::kSize);
    const auto out = h.toBytes();
    if (!file.seek(0) || file.write(out.data(), out.size()) != out.size()) {
        return false;
    }
    file.close();
    return !file.failed();
}

bool FinishWAVHeader(const std::string& fileName) {
    return FixWAVHeader(fileName);
}

bool WriteWAVPiece(const std::string& source, const std::string& dest, std::uint64_t start,
                   const AbortFlag* abortFlag, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count) {
    if (!FileExists(source)) {
        return false;
    }
    FileSource input(source);
    if (!input.isOpen()) {
        return false;
    }
    const WAVLayout layout = ReadWAVLayoutOf(input);
    const std::uint64_t bpf = layout.header.bytesPerSampleFrame();
    if (!layout.isPCM() || !layout.formatFound || !layout.dataFound || bpf == 0) {
        return false;
    }
    // Only whole sample frames of the data chunk are copied, starting on the sample frame
    // `start`: a part frame at the end of the data (a recording cut off mid-sample) would leave
    // a piece whose samples do not fill its last frame.
    const std::uint64_t wholeFrames = layout.dataSize / bpf;
    const std::uint64_t skip = std::min(start, wholeFrames) * bpf;
    const std::uint64_t available = wholeFrames * bpf - skip;
    const std::uint64_t total = CountWithin(count, available / bpf) * bpf;

    const auto failWrite = [&] {
        DeleteFileIfExists(dest);
        throw IoError("Unable to write to file " + dest + ".", dest);
    };
    {
        BinaryFile out(dest, BinaryFile::Mode::Create);
        if (!out) {
            throw IoError("Unable to create file " + dest + ".", dest);
        }
        const auto header = CanonicalWAVHeader(layout.header, total).toBytes();
        const bool written = out.write(header.data(), header.size()) == header.size();
        out.close();
        if (!written || out.failed()) {
            failWrite();
        }
    }

    // The samples follow the header, 16000 sample frames a block and never more than 4 MiB a
    // block: a damaged header may claim sample frames of gigabytes.
    constexpr std::uint64_t kMaxBlock = 4u << 20;
    const std::uint64_t framesPerBlock =
        std::max<std::uint64_t>(1, std::min<std::uint64_t>(16000, kMaxBlock / bpf));
    ByteRangeCopy copy;
    copy.source = source;
    copy.start = layout.dataStart + skip;
    copy.count = total;
    copy.dest = dest;
    copy.append = true;
    copy.abort = abortFlag;
    copy.chunk = std::min(framesPerBlock * bpf, kMaxBlock);
    if (progress) {
        copy.afterChunk = [&](std::uint64_t copied) {
            if (copied > 0) {
                progress(progressBase + copied);
            }
        };
    }
    try {
        CopyByteRange(copy);
    } catch (const IoError&) {
        DeleteFileIfExists(dest);  // the incomplete piece
        throw;
    }
    // The header rewrite also finds a piece that was removed while it was written.
    if (!FixWAVHeader(dest)) {
        failWrite();
    }
    return true;
}

}  // namespace varnix
