#pragma once
// The bodies of the fuzz targets. Each takes the fuzzer's bytes, writes the files it needs into
// a private work folder, runs one reader or writer of the engine on them and checks what must
// hold for any input. A broken property prints what broke and aborts, so that libFuzzer keeps the
// input; a crash, a leak or undefined behaviour is caught by the sanitizers. The same bodies run
// in the test suite over the hostile inputs kept under tests/data/bad.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnix::fuzz {

using Bytes = std::span<const std::uint8_t>;

// DetectFormat, GetMediaDuration at 25 and 30 and ShowMediaInformation on one file.
void FuzzProbe(Bytes data);
// ReadMPAInfo over the first frame and over the whole file.
void FuzzMPA(Bytes data);
// ReadWAVHeader, ReadWAVHeaderFrom and the header rewrite of a copy.
void FuzzWAV(Bytes data);
// The per-file AC3 and DTS queries, the AC3 frame layout and DTSHeaderReport.
void FuzzAC3DTS(Bytes data);
// A video scan with the info cache on: either a scan followed by a second look that must give
// the same description from the cache, or a scan of a video beside a hostile cache file.
void FuzzVideoCache(Bytes data);
// The quick look of the reports and a scan without cache that keeps every header.
void FuzzVideoQuick(Bytes data);
// The split job of one input cut by durations taken from the last bytes, checking the pieces.
void FuzzSplit(Bytes data);
// ParseChapterText under both systems, checking the durations of every list that reads.
void FuzzChapters(Bytes data);
// ReadDvdChapters on the bytes as a title set's IFO file and as VIDEO_TS.IFO.
void FuzzDvdIfo(Bytes data);
// The program stream demuxer over the bytes read whole and in reads of a size the first byte
// picks, ProbeContainer, and the scan when detection takes the file.
void FuzzProgramStream(Bytes data);
// The same for the transport stream demuxer (the first byte's lowest bit picks 188 or 192).
void FuzzTransportStream(Bytes data);

struct Target {
    const char* name;
    void (*run)(Bytes);
};
// Every target by name, in the order above.
const std::vector<Target>& Targets();

// ---- shared by the bodies ----

// A folder of this process for the files of one input; emptied by ClearWorkFolder.
const std::string& WorkFolder();
void ClearWorkFolder();
// Writes the bytes to a file of that name in the work folder and returns its full name.
std::string WriteWorkFile(const std::string& name, Bytes bytes);
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName);
// Names (without folder) of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
// Prints the broken property and aborts.
[[noreturn]] void Broken(const std::string& what);
inline void Check(bool holds, const char* what) {
    if (!holds) {
        Broken(what);
    }
}

}  // namespace varnix::fuzz
