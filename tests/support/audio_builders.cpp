#include "support/audio_builders.h"

#include <array>
#include <stdexcept>

#include "support/bit_writer.h"

namespace varnix::test {

Bytes Filler(std::size_t count, std::uint8_t seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x10 + (seed + i * 37) % 0x70);  // 0x10..0x7F
    }
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

namespace {

void PadTo(Bytes& bytes, std::size_t length, std::uint8_t seed) {
    if (bytes.size() < length) {
        const Bytes fill = Filler(length - bytes.size(), seed);
        bytes.insert(bytes.end(), fill.begin(), fill.end());
    }
}

void PutLE(Bytes& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

// ---- AC3 ----

std::size_t AC3FrameLength(const AC3FrameParams& p) {
    // Words per frame by frame-size code pair, A/52: 48 kHz, 44.1 kHz (even code), 32 kHz.
    static constexpr std::array<std::array<int, 3>, 19> kWords = {{
        {64, 69, 96},       {80, 87, 120},      {96, 104, 144},     {112, 121, 168},
        {128, 139, 192},    {160, 174, 240},    {192, 208, 288},    {224, 243, 336},
        {256, 278, 384},    {320, 348, 480},    {384, 417, 576},    {448, 487, 672},
        {512, 557, 768},    {640, 696, 960},    {768, 835, 1152},   {896, 975, 1344},
        {1024, 1114, 1536}, {1152, 1253, 1728}, {1280, 1393, 1920},
    }};
    if (p.fscod < 0 || p.fscod > 2 || p.frmsizecod < 0 || p.frmsizecod > 37) {
        return 0;
    }
    int words =
        kWords[static_cast<std::size_t>(p.frmsizecod / 2)][static_cast<std::size_t>(p.fscod)];
    if (p.fscod == 1 && p.frmsizecod % 2 == 1) {
        ++words;
    }
    return static_cast<std::size_t>(words) * 2;
}

Bytes BuildAC3Frame(const AC3FrameParams& p) {
    BitWriter w;
    w.put(0x0B77, 16).put(0, 16);
    w.put(static_cast<unsigned>(p.fscod), 2).put(static_cast<unsigned>(p.frmsizecod), 6);
    w.put(static_cast<unsigned>(p.bsid), 5).put(static_cast<unsigned>(p.bsmod), 3);
    w.put(static_cast<unsigned>(p.acmod), 3);
    if ((p.acmod & 1) != 0 && p.acmod != 1) {
        w.put(static_cast<unsigned>(p.cmixlev), 2);
    }
    if ((p.acmod & 4) != 0) {
        w.put(static_cast<unsigned>(p.surmixlev), 2);
    }
    if (p.acmod == 2) {
        w.put(static_cast<unsigned>(p.dsurmod), 2);
    }
    w.put(p.lfeon ? 1 : 0, 1).align();
    Bytes frame = w.data();
    PadTo(frame, std::max<std::size_t>(AC3FrameLength(p), 8),
          static_cast<std::uint8_t>(p.frmsizecod));
    return frame;
}

Bytes BuildAC3Stream(const AC3FrameParams& p, int frames, bool alternate44k1) {
    Bytes stream;
    for (int i = 0; i < frames; ++i) {
        AC3FrameParams q = p;
        if (alternate44k1 && i % 2 == 1) {
            q.frmsizecod = p.frmsizecod ^ 1;
        }
        const Bytes frame = BuildAC3Frame(q);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// ---- DTS ----

Bytes BuildDTSFrame(const DTSFrameParams& p) {
    BitWriter w;
    w.put(0x7FFE8001u, 32);
    w.put(p.ftype, 1).put(p.shortCount, 5).put(p.cpf, 1).put(p.nblks, 7).put(p.fsize, 14);
    w.put(p.amode, 6).put(p.sfreq, 4).put(p.rate, 5).put(p.mix, 1).put(p.dynf, 1);
    w.put(p.timef, 1).put(p.auxf, 1).put(p.hdcd, 1).put(p.extAudioId, 3).put(p.extAudio, 1);
    w.put(p.aspf, 1).put(p.lff, 2).put(p.hflag, 1);
    if (p.cpf == 1) {
        w.put(p.hcrc, 16);
    }
    w.put(p.filts, 1).put(p.vernum, 4).put(p.chist, 2).put(p.pcmr, 3).put(p.sumf, 1);
    w.put(p.sums, 1).put(p.dialnorm, 4).align();
    Bytes frame = w.data();
    PadTo(frame, std::max<std::size_t>(static_cast<std::size_t>(p.fsize) + 1, 15), 3);
    return frame;
}

Bytes BuildDTSStream(const DTSFrameParams& p, int frames) {
    Bytes stream;
    const Bytes frame = BuildDTSFrame(p);
    for (int i = 0; i < frames; ++i) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// ---- MPEG audio ----

namespace {

constexpr std::array<std::array<int, 4>, 4> kMPASampleRates = {
    {{44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}, {0, 0, 0, 0}}};

int MPABitRate(const MPAFrameParams& p) {
    static constexpr std::array<std::array<int, 16>, 5> kRates = {{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
    }};
    if (p.layer < 0 || p.layer > 2 || p.version < 0 || p.version > 2) {
        return -1;
    }
    const std::size_t group =
        p.version == 0 ? static_cast<std::size_t>(p.layer) : (p.layer == 0 ? 3 : 4);
    return kRates[group][static_cast<std::size_t>(p.bitRateIndex & 15)];
}

}  // namespace

std::uint32_t MPAHeaderWord(const MPAFrameParams& p) {
    static constexpr unsigned kVersionBits[4] = {3, 2, 0, 1};
    static constexpr unsigned kLayerBits[4] = {3, 2, 1, 0};
    BitWriter w;
    w.put(0x7FF, 11).put(kVersionBits[p.version & 3], 2).put(kLayerBits[p.layer & 3], 2);
    w.put(p.crc ? 0 : 1, 1).put(static_cast<unsigned>(p.bitRateIndex), 4);
    w.put(static_cast<unsigned>(p.sampleRateIndex), 2).put(p.padding ? 1 : 0, 1);
    w.put(p.privateBit ? 1 : 0, 1).put(static_cast<unsigned>(p.mode), 2);
    w.put(static_cast<unsigned>(p.modeExtension), 2).put(p.copyright ? 1 : 0, 1);
    w.put(p.original ? 1 : 0, 1).put(static_cast<unsigned>(p.emphasis), 2);
    const Bytes& b = w.data();
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           b[3];
}

std::size_t MPASamplesPerFrame(const MPAFrameParams& p) {
    switch (p.layer) {
        case 0:
            return 384;
        case 1:
            return 1152;
        case 2:
            return p.version == 0 ? 1152 : 576;
        default:
            return 0;
    }
}

std::size_t MPAFrameLength(const MPAFrameParams& p) {
    const int rate = kMPASampleRates[static_cast<std::size_t>(p.version & 3)]
                                    [static_cast<std::size_t>(p.sampleRateIndex & 3)];
    const int bitRate = MPABitRate(p);
    if (rate == 0 || bitRate <= 0) {
        return 0;
    }
    const int pad = p.padding ? 1 : 0;
    if (p.layer == 0) {
        return static_cast<std::size_t>((12000 * bitRate / rate + pad) * 4);
    }
    const int factor = (p.layer == 2 && p.version != 0) ? 72000 : 144000;
    return static_cast<std::size_t>(factor * bitRate / rate + pad);
}

Bytes BuildMPAFrame(const MPAFrameParams& p, std::size_t freeLength) {
    const std::uint32_t h = MPAHeaderWord(p);
    Bytes frame = {static_cast<std::uint8_t>(h >> 24), static_cast<std::uint8_t>(h >> 16),
                   static_cast<std::uint8_t>(h >> 8), static_cast<std::uint8_t>(h)};
    const std::size_t length = MPAFrameLength(p);
    PadTo(frame, length != 0 ? length : std::max<std::size_t>(freeLength, 4), 5);
    return frame;
}

Bytes BuildMPAStream(const MPAFrameParams& p, int frames) {
    Bytes stream;
    const Bytes frame = BuildMPAFrame(p);
    for (int i = 0; i < frames; ++i) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

Bytes BuildID3v2Header(std::uint32_t size) {
    return {'I',
            'D',
            '3',
            3,
            0,
            0,
            static_cast<std::uint8_t>((size >> 21) & 0x7F),
            static_cast<std::uint8_t>((size >> 14) & 0x7F),
            static_cast<std::uint8_t>((size >> 7) & 0x7F),
            static_cast<std::uint8_t>(size & 0x7F)};
}

Bytes BuildID3v2Tag(std::uint32_t size) {
    const Bytes header = BuildID3v2Header(size);
    Bytes tag(header.size() + size, 0);
    std::copy(header.begin(), header.end(), tag.begin());
    return tag;
}

Bytes BuildMPATagFrame(const MPAFrameParams& p, const std::string& tag) {
    Bytes frame = BuildMPAFrame(p);
    const bool mono = p.mode == 3;
    const std::size_t sideInfo = p.version == 0 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const std::size_t at = 4 + sideInfo;
    if (frame.size() < at + 8) {
        throw std::invalid_argument("frame too short for an info tag");
    }
    std::fill(frame.begin() + 4, frame.begin() + static_cast<std::ptrdiff_t>(at), 0);
    std::copy(tag.begin(), tag.end(), frame.begin() + static_cast<std::ptrdiff_t>(at));
    std::fill(frame.begin() + static_cast<std::ptrdiff_t>(at + 4),
              frame.begin() + static_cast<std::ptrdiff_t>(at + 8), 0);  // flags
    return frame;
}

// ---- WAV ----

RIFFChunk FmtChunk(const WAVFormat& f) {
    const std::uint16_t blockAlign =
        f.blockAlign.value_or(static_cast<std::uint16_t>(f.channels * f.bitsPerSample / 8));
    const std::uint32_t byteRate = f.byteRate.value_or(blockAlign * f.sampleRate);
    RIFFChunk chunk{"fmt ", {}, std::nullopt, true};
    Bytes& b = chunk.body;
    PutLE(b, f.formatTag, 2);
    PutLE(b, f.channels, 2);
    PutLE(b, f.sampleRate, 4);
    PutLE(b, byteRate, 4);
    PutLE(b, blockAlign, 2);
    PutLE(b, f.bitsPerSample, 2);
    if (f.fmtSize == 18) {
        PutLE(b, 0, 2);
    } else if (f.fmtSize == 40) {
        PutLE(b, 22, 2);
        PutLE(b, f.bitsPerSample, 2);
        PutLE(b, 3, 4);  // front left and right
        const Bytes pcmGuid = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        b.insert(b.end(), pcmGuid.begin(), pcmGuid.end());
    } else if (f.fmtSize > 16) {
        b.resize(f.fmtSize, 0);
    }
    return chunk;
}

RIFFChunk DataChunk(std::size_t bytes, std::optional<std::uint32_t> declared) {
    RIFFChunk chunk{"data", Bytes(bytes), declared, true};
    for (std::size_t i = 0; i < bytes; ++i) {
        chunk.body[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    }
    return chunk;
}

RIFFChunk ListChunk(const std::string& text) {
    RIFFChunk chunk{"LIST", {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T'}, std::nullopt, true};
    PutLE(chunk.body, text.size() + 1, 4);
    chunk.body.insert(chunk.body.end(), text.begin(), text.end());
    chunk.body.push_back(0);
    return chunk;
}

RIFFChunk FactChunk(std::uint32_t samples) {
    RIFFChunk chunk{"fact", {}, std::nullopt, true};
    PutLE(chunk.body, samples, 4);
    return chunk;
}

Bytes BuildRIFF(const std::vector<RIFFChunk>& chunks, std::optional<std::uint32_t> riffSize) {
    Bytes file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& chunk : chunks) {
        std::string id = chunk.id;
        id.resize(4, ' ');
        file.insert(file.end(), id.begin(), id.end());
        PutLE(file, chunk.declaredSize.value_or(static_cast<std::uint32_t>(chunk.body.size())), 4);
        file.insert(file.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.pad && chunk.body.size() % 2 == 1) {
            file.push_back(0);
        }
    }
    const std::uint32_t size = riffSize.value_or(static_cast<std::uint32_t>(file.size() - 8));
    for (int i = 0; i < 4; ++i) {
        file[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    return file;
}

Bytes BuildWAV(const WAVFormat& f, std::size_t dataBytes) {
    return BuildRIFF({FmtChunk(f), DataChunk(dataBytes)});
}

}  // namespace varnix::test
