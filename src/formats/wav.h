#pragma once
// PCM WAV files: the canonical 44-byte RIFF/WAVE header, the chunk walk that finds the format
// and the sample data of any WAV file, the header rewrite of files Varnix writes, and the WAV
// piece writer.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/extent.h"
#include "core/host.h"

namespace varnix {

class BinaryFile;
class ByteSource;

// The canonical header; numbers little-endian in the file.
struct WAVHeader {
    static constexpr std::size_t kSize = 44;

    std::array<char, 4> riffId{};
    std::uint32_t riffSize = 0;
    std::array<char, 4> waveId{};
    std::array<char, 4> fmtId{};
    std::uint32_t fmtSize = 0;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::array<char, 4> dataId{};
    std::uint32_t dataSize = 0;

    // The 44 bytes as they stand in a file.
    std::array<std::uint8_t, kSize> toBytes() const;
    // Reads the fields from 44 bytes (missing bytes read as 0).
    static WAVHeader fromBytes(std::span<const std::uint8_t> bytes);

    bool isRiffWave() const;
    // A sample frame (one sample of every channel) in bytes: byte rate div sample rate; 0 when
    // the sample rate is 0.
    std::uint32_t bytesPerSampleFrame() const {
        return sampleRate != 0 ? byteRate / sampleRate : 0;
    }
};

// The header that Varnix writes for sample data of `dataSize` bytes in the format of `format`:
// "RIFF", "WAVE", "fmt " of 16 bytes, "data", riffSize = dataSize + 36. Sizes beyond 32 bits are
// written as 0xFFFFFFFF.
WAVHeader CanonicalWAVHeader(const WAVHeader& format, std::uint64_t dataSize);

// What the chunk walk found in a WAV file.
struct WAVLayout {
    // riffId, riffSize, waveId as read; the format chunk's id, size and first 16 bytes; the data
    // chunk's id and declared size (zero when there is no data chunk).
    WAVHeader header;
    bool riffWave = false;     // "RIFF" .... "WAVE"
    bool formatFound = false;  // a format chunk of 16, 18 or 40 bytes
    bool dataFound = false;    // a "data" chunk
    std::uint64_t fileSize = 0;
    std::uint64_t dataStart = 0;  // offset of the first sample byte
    // The effective size of the sample data: the declared size, or everything up to the end of
    // the file when the declared size is 0 or runs past the end (an unfinished recording).
    std::uint64_t dataSize = 0;

    // "RIFF", "WAVE" and the PCM format tag 1.
    bool isPCM() const { return riffWave && header.formatTag == 1; }
};

// Walks the chunks: "RIFF", "WAVE", then chunk after chunk (odd sizes padded to even, as RIFF
// writes them, with a fallback for writers that leave the pad byte out) until both the format
// chunk and the data chunk are found, or a chunk header cannot be read, or a chunk runs past the
// end of the file.
// Throws IoError when the source cannot be read.
WAVLayout ReadWAVLayoutOf(ByteSource& source);
// The query on a named file: a file that cannot be opened or read gives an all-zero layout.
WAVLayout ReadWAVLayout(const std::string& fileName);
// The walk on an open file, which is left at the first sample byte (or at its end when there is
// no data chunk). Throws IoError when the file cannot be read.
WAVLayout ReadWAVLayoutFrom(BinaryFile& file);

// The header of a WAV file as the chunk walk found it (zero when it cannot be opened or read).
WAVHeader ReadWAVHeader(const std::string& fileName);
// The same on an open file, which is left at the first sample byte; throws IoError when the file
// cannot be read.
WAVHeader ReadWAVHeaderFrom(BinaryFile& file);

// Rewrite the first 44 bytes of a file Varnix has written (sample data at offset 44) as the
// canonical header: fmtSize 16, dataSize = file size - 44, riffSize = file size - 8, format
// fields kept. Written whatever the sizes said before; false when the file cannot be opened, is
// shorter than 44 bytes, or the header cannot be written.
bool FixWAVHeader(const std::string& fileName);
bool FinishWAVHeader(const std::string& fileName);

// Writes sample frames start .. start + count - 1 (count kToEnd: to the end of the data) of
// `source` into a new file `dest` under a canonical header. Copies only whole sample frames of
// the data chunk.
// The source must exist and be usable PCM; otherwise nothing is written and false is returned.
// The samples go through CopyByteRange (range_copy.h). After every block `progress` gets
// progressBase + the sample bytes copied so far; a set abort flag stops the copy and leaves the
// piece as far as it got. Throws IoError (after removing dest) when the source cannot be read,
// dest cannot be created or written, or dest vanishes before its header is final.
bool WriteWAVPiece(const std::string& source, const std::string& dest, std::uint64_t start,
                   const AbortFlag* abortFlag, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count);

}  // namespace varnix
