#pragma once
// TM2VStream reads an MPEG-1 or MPEG-2 video elementary stream once, header by header, counts
// its pictures and fields and derives the play time in frames, without decoding any picture
// data: slices are skipped start code to start code. The results and a digest of every header
// are kept in the ".vnf" info cache beside the video, so a later scan of the same file only
// reads the cache.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/bitstream.h"
#include "core/host.h"
#include "core/progress.h"
#include "video/info_cache.h"
#include "video/m2v_headers.h"
#include "video/scan_source.h"
#include "video/video_info.h"

namespace varnix {

using MessageCallback = std::function<void(const std::string&)>;

// A system start code met in the stream: where it is and how many bytes follow it up to the
// next start code (the code's own four included).
struct UnformattedData {
    std::int64_t position = 0;
    std::int64_t length = 0;
};

// One header of the stream as the table of entries keeps it.
struct HeaderEntry {
    std::uint16_t tag = 0;
    std::uint64_t number = 0;  // running number in the table, from 1
    std::vector<std::uint32_t> values;
};

// Coding type, top_field_first and repeat_first_field of the last three pictures; index 0 is
// the last picture (T1, F1, R1), 1 the one before it, 2 the one before that.
struct PictureHistory {
    std::array<std::uint32_t, 3> codingType{};
    std::array<std::uint32_t, 3> topFieldFirst{};
    std::array<std::uint32_t, 3> repeatFirstField{};
};

struct M2VResults {
    std::uint32_t mpegVersion = 1;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t displayWidth = 0;
    std::uint32_t displayHeight = 0;
    std::uint32_t aspectRatio = 0;
    std::uint32_t frameRateCode = 0;
    std::uint32_t aspectChanges = 0;
    std::uint32_t bitRate = 0;  // bits per second
    std::uint64_t highestBitRate = 0;
    std::uint64_t lowestBitRate = 0;
    std::uint64_t bitRateSum = 0;  // of bit_rate_value div 100
    std::uint64_t bitRateCount = 0;
    std::uint64_t averageBitRate = 0;  // set when the bit rates are turned into bits per second
    bool variableBitRate = false;
    std::uint64_t sequenceHeaders = 0;
    std::uint64_t gops = 0;
    std::uint64_t sequenceEnds = 0;
    double pictures = 0;  // a frame picture counts 1, a field picture 0.5
    double picturesInGOP = 0;
    std::uint32_t longestGOP = 0;
    std::uint64_t fields = 0;
    std::uint64_t repeatedReferences = 0;
    std::int64_t frames = 0;
    TimeCode startTime;
    bool pullDown = false;
    bool panScan = false;
    bool line21Switch1 = false;
    bool line21Switch2 = false;
    std::vector<UnformattedData> unformatted;
};

// Which of the end-pattern rows decides how the fields turn into frames.
int EndPatternCase(const PictureHistory& history, bool pullDown);
// Frames from the field count for a case of the end-pattern table.
std::int64_t FramesFromFields(int endPatternCase, std::uint64_t fields,
                              std::uint32_t lastRepeatFirstField);

// Everything one scan finds and keeps while it runs. A scan starts from a fresh one, so no
// value of an earlier scan can leak into the next.
struct M2VScanState {
    bool collect = false;
    bool collectAll = false;
    bool cacheInUse = false;  // the cache option on and quick mode off
    bool aborted = false;
    bool bitRatesConverted = false;

    M2VResults results;
    PictureHistory history;
    std::vector<HeaderEntry> entries;
    std::unique_ptr<InfoCacheWriter> cacheWriter;

    // Where the reader stands: the value of the current start code and its prefix's position,
    // in the elementary stream (turned into a file position only where a header keeps it, since
    // a demuxed stream has to look it up), or in the file at the end of the data.
    std::uint32_t code = start_code::kNone;
    std::int64_t codePosition = 0;
    bool codePositionInFile = false;

    // MPEG-1 display positions counted so far; allocated at the first one.
    std::vector<std::uint8_t> displayTable;
    bool anyMarked = false;
    std::int64_t lastMarked = -1;

    bool haveSize = false;
    bool haveBitRate = false;
    // The first sized sequence header and the first sequence extension, to which the cache
    // compares the later ones.
    std::optional<SequenceHeader> referenceHeader;
    std::optional<SequenceExtension> referenceExtension;
    std::uint32_t progressiveSequence = 0;
    PictureCodingExtension lastCodingExtension;
    std::int64_t lastSequenceHeaderPosition = 0;
    std::uint64_t picturesBeforeGOP = 0;
    std::uint64_t picturesInThisGOP = 0;
    std::uint64_t currentGOPNumber = 0;
    int idleCounter = 0;
    bool displayExtensionSeen = false;
    std::uint32_t panScanPictureWidth = 0;
    std::int64_t lastProgress = -1;
};

class TM2VStream {
  public:
    static constexpr std::size_t kDisplayPositions = 2000000;

    // Opens the file (an elementary stream, or a program or transport stream through its
    // demuxer); throws EParserFileException (after the reader's message) when it cannot be opened,
    // is empty or holds no video, IoError when its first block cannot be read.
    explicit TM2VStream(const std::string& fileName);
    ~TM2VStream();
    TM2VStream(const TM2VStream&) = delete;
    TM2VStream& operator=(const TM2VStream&) = delete;

    // Quick mode: stop after the first run of pictures unless it held exactly one picture.
    void SetQuick(bool quick) { quick_ = quick; }
    // Write the info cache while scanning, or answer from a valid one (on by default).
    void SetCache(bool cache) { cache_ = cache; }
    // Progress in blocks read (default), or 0.85 of them when off.
    void SetBlockProgress(bool blockProgress) { blockProgress_ = blockProgress; }
    void SetProgress(ProgressIndicator* progress) { progress_ = progress; }
    // The scan stops when the flag becomes non-zero; null restores the stream's own flag.
    void SetAbortFlag(AbortFlag* abort) { abort_ = abort != nullptr ? abort : &ownAbort_; }
    void SetIdleCallback(IdleCallback idle) { idle_ = std::move(idle); }
    void SetMessageCallback(MessageCallback message) { message_ = std::move(message); }

    // collect: keep the main headers as a table of entries (with the cache on they go to the
    // cache file and come back from it); collectAll: also user data, the minor extensions and
    // the system start codes. Throws IoError naming the file and the system's reason when the
    // file cannot be read; the cache file of this scan is then not written.
    void Scan(bool collect, bool collectAll);

    const M2VResults& Results() const { return scan_.results; }
    const PictureHistory& History() const { return scan_.history; }
    const std::vector<HeaderEntry>& Entries() const { return scan_.entries; }
    // True when the abort flag ended the last scan.
    bool Aborted() const { return scan_.aborted; }
    // The video description of the results (file time 0).
    VideoInfo Info() const { return MakeRecord(false); }
    const std::string& FileName() const { return fileName_; }
    std::string CacheFileName() const { return fileName_ + kVideoCacheSuffix; }
    // The container the video was taken out of, as reports name it; empty for an elementary
    // stream.
    std::string Container() const { return source_->Container(); }
    // What the demuxer met during the last scan (lost packets, skipped bytes, the end of the
    // packet sync); empty for an elementary stream.
    const std::vector<std::string>& DemuxNotes() const { return demuxNotes_; }

  private:
    // Main loop and headers (m2v_stream.cpp).
    void RunMainLoop();
    void PictureLoop();
    bool FindNext();
    bool AtPrefix(bool found);
    // The file position of the current start code's prefix.
    std::int64_t CodePosition() const;
    bool CheckAbort();
    void UpdateProgress();
    void CallIdle();
    void Message(const std::string& text) const;
    void HandleSequenceHeader();
    void HandleSequenceExtension();
    void SequenceLevelExtensions();
    void GOPLevelUserData();
    void PictureLevelExtensions();
    void HandleSequenceDisplayExtension();
    void HandleMinorExtension(std::uint16_t tag,
                              bool (*parse)(TBitStream&, std::vector<std::uint32_t>&));
    void HandlePictureDisplayExtension();
    void HandleUserData(bool afterGOP);
    void HandleGOP();
    void HandlePictureHeader();
    void CountMpeg1Picture(const PictureHeader& picture);
    bool IsMarked(std::int64_t position) const;
    void HandlePictureCodingExtension();
    void SkipSlices();
    void SkipUnknown();
    void NoteUnformattedData();
    void HandleSequenceEnd();
    void UpdateLongestGOP();
    bool PanScanTest() const;

    // Entries: to the cache file while it is written, else to the in-memory table.
    void Record(std::uint16_t tag, std::span<const std::uint32_t> values);
    void RecordMinor(std::uint16_t tag, std::span<const std::uint32_t> values);
    void AddEntry(std::uint16_t tag, std::span<const std::uint32_t> values);

    // Frames and final values (m2v_frames.cpp).
    void ComputeFrames(bool loadedValidCache);

    // Cache (info_cache.cpp).
    VideoInfo MakeRecord(bool withFileTime) const;
    void ApplyRecord(const VideoInfo& record);
    bool CacheIsValid() const;
    void StartCacheFile();
    void FinishCacheAfterScan();
    void LoadBack(const std::string& cacheFile, bool validCache);
    void SetLoadProgress(bool validCache);

    // Passes on what the demuxer noted (lost packets, skipped bytes) to the message callback.
    void PassOnNotes();

    std::string fileName_;
    std::unique_ptr<ScanSource> source_;
    TBitStream& reader_;
    std::int64_t fileSize_ = 0;

    bool quick_ = false;
    bool cache_ = true;
    bool blockProgress_ = true;
    ProgressIndicator* progress_ = nullptr;
    AbortFlag ownAbort_{0};
    AbortFlag* abort_ = &ownAbort_;
    IdleCallback idle_;
    MessageCallback message_;

    M2VScanState scan_;
    std::vector<std::string> demuxNotes_;
};

}  // namespace varnix
