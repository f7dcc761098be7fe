#include "video/m2v_stream.h"

#include <algorithm>

#include "core/file_helpers.h"

namespace varnix {

namespace {

bool IsSystem(std::uint32_t code) {
    return code >= start_code::kSystemFirst && code <= 0xFF;
}

}  // namespace

TM2VStream::TM2VStream(const std::string& fileName)
    : fileName_(fileName),
      source_(OpenScanSource(fileName)),
      reader_(source_->Bits()),
      fileSize_(source_->FileSize()) {}

TM2VStream::~TM2VStream() = default;

void TM2VStream::Scan(bool collect, bool collectAll) {
    scan_ = M2VScanState{};
    demuxNotes_.clear();
    scan_.collect = collect;
    scan_.collectAll = collectAll;
    if (progress_ != nullptr) {
        progress_->setMinimum(0);
        progress_->setMaximum(fileSize_ /
                              static_cast<std::int64_t>(TFileBitStream::kScanBufferSize));
        progress_->setPosition(0);
    }
    scan_.cacheInUse = cache_ && !quick_;
    bool loadedValidCache = false;
    if (scan_.cacheInUse) {
        if (CacheIsValid()) {
            LoadBack(CacheFileName(), true);
            loadedValidCache = true;
        } else {
            DeleteFileIfExists(CacheFileName());
            StartCacheFile();
        }
    }
    if (!loadedValidCache) {
        RunMainLoop();
        PassOnNotes();
        if (scan_.cacheWriter && scan_.cacheWriter->IsOpen()) {
            scan_.cacheWriter->WriteEntry(entry_tag::kEnd, {});
        }
        if (scan_.cacheInUse && !scan_.aborted) {
            FinishCacheAfterScan();
        }
    }
    ComputeFrames(loadedValidCache);
    if (scan_.cacheWriter) {
        // The final values go into the header, and only a complete cache file takes the
        // cache's name; after an abort nothing is left behind.
        if (!scan_.aborted && scan_.cacheWriter->RewriteHeader(MakeRecord(true))) {
            scan_.cacheWriter->Commit();
        }
        scan_.cacheWriter.reset();
    }
}

// The stream as a sequence of sequences: each sequence header (with its extension) is followed
// by pictures, grouped or not into GOPs, up to the next sequence header or a sequence end.
void TM2VStream::RunMainLoop() {
    if (!FindNext()) {
        return;
    }
    // Taken out of a container, the stream may begin in the middle of a sequence.
    while (source_->StartsAnywhere() && scan_.code != start_code::kSequenceHeader) {
        if (!FindNext()) {
            return;
        }
    }
    while (true) {
        HandleSequenceHeader();
        if (scan_.code == start_code::kExtension) {
            HandleSequenceExtension();
        }
        while (true) {
            SequenceLevelExtensions();
            if (IsSystem(scan_.code)) {
                NoteUnformattedData();
            }
            PictureLoop();
            if (scan_.aborted || reader_.EndOfData()) {
                break;
            }
            if (quick_ && scan_.results.pictures != 1.0) {
                break;
            }
            if (scan_.code != start_code::kSequenceEnd) {
                HandleSequenceHeader();
                if (scan_.code == start_code::kExtension) {
                    HandleSequenceExtension();
                }
            }
            UpdateProgress();
            if (scan_.code == start_code::kSequenceEnd || reader_.EndOfData() || CheckAbort()) {
                break;
            }
        }
        if (scan_.aborted || (quick_ && scan_.results.pictures != 1.0)) {
            return;
        }
        if (!reader_.EndOfData()) {
            HandleSequenceEnd();
        }
        if (reader_.EndOfData() || CheckAbort()) {
            return;
        }
    }
}

void TM2VStream::PictureLoop() {
    while (!reader_.EndOfData()) {
        if (scan_.code == start_code::kGOP) {
            HandleGOP();
            GOPLevelUserData();
            CallIdle();
            // A stream with a single sequence header would otherwise only notice Cancel at
            // its very end.
            UpdateProgress();
            if (CheckAbort()) {
                return;
            }
        }
        HandlePictureHeader();
        if (scan_.code == start_code::kExtension) {
            HandlePictureCodingExtension();
        }
        PictureLevelExtensions();
        SkipSlices();
        if (scan_.code != start_code::kPicture && scan_.code != start_code::kGOP) {
            return;
        }
    }
}

// Steps to the next start code; the reader then stands on its value.
bool TM2VStream::FindNext() {
    return AtPrefix(reader_.NextStartCode());
}

// Notes the start code whose prefix the reader has just consumed (or the end of the data).
bool TM2VStream::AtPrefix(bool found) {
    if (!found) {
        scan_.code = start_code::kNone;
        scan_.codePosition = fileSize_;
        scan_.codePositionInFile = true;
        return false;
    }
    if (reader_.EndOfData()) {
        // The prefix ends the file: a start code without a value.
        scan_.code = start_code::kNone;
        scan_.codePosition = fileSize_ - 3;
        scan_.codePositionInFile = true;
        return true;
    }
    scan_.codePosition = reader_.Position() - 3;
    scan_.codePositionInFile = false;
    scan_.code = reader_.PeekBits(8);
    return true;
}

std::int64_t TM2VStream::CodePosition() const {
    return scan_.codePositionInFile ? scan_.codePosition
                                    : source_->FilePosition(scan_.codePosition);
}

bool TM2VStream::CheckAbort() {
    if (IsAborted(abort_)) {
        scan_.aborted = true;
    }
    return scan_.aborted;
}

void TM2VStream::UpdateProgress() {
    PassOnNotes();
    if (progress_ == nullptr) {
        return;
    }
    const std::int64_t blocks = source_->BlocksRead();
    const std::int64_t position =
        blockProgress_ ? blocks : RoundEven(0.85L * static_cast<long double>(blocks));
    if (position != scan_.lastProgress && position <= progress_->maximum()) {
        progress_->setPosition(position);
        scan_.lastProgress = position;
    }
}

// Called at GOP 10, 19, 28, ...
void TM2VStream::CallIdle() {
    if (++scan_.idleCounter == 10) {
        scan_.idleCounter = 1;
        if (idle_) {
            idle_();
        }
    }
}

void TM2VStream::PassOnNotes() {
    for (std::string& note : source_->TakeNotes()) {
        Message(fileName_ + ": " + note);
        demuxNotes_.push_back(std::move(note));
    }
}

void TM2VStream::Message(const std::string& text) const {
    if (message_) {
        message_(text);
    }
}

// A 4:3 picture of 704 or 720 pixels shown 540 wide is a pan-scan window.
bool TM2VStream::PanScanTest() const {
    return scan_.results.aspectRatio == 2 && scan_.displayExtensionSeen &&
           scan_.results.displayWidth != 0 && scan_.results.displayHeight != 0 &&
           scan_.results.displayWidth == 540 &&
           (scan_.panScanPictureWidth == 704 || scan_.panScanPictureWidth == 720);
}

void TM2VStream::Record(std::uint16_t tag, std::span<const std::uint32_t> values) {
    if (scan_.cacheWriter && scan_.cacheWriter->IsOpen()) {
        scan_.cacheWriter->WriteEntry(tag, values);
    } else if (scan_.collect) {
        AddEntry(tag, values);
    }
}

void TM2VStream::RecordMinor(std::uint16_t tag, std::span<const std::uint32_t> values) {
    if (scan_.collectAll) {
        AddEntry(tag, values);
    }
}

void TM2VStream::AddEntry(std::uint16_t tag, std::span<const std::uint32_t> values) {
    HeaderEntry entry;
    entry.tag = tag;
    entry.number = scan_.entries.size() + 1;
    entry.values.assign(values.begin(), values.end());
    if (tag == entry_tag::kPictureHeader) {
        const auto picture = HeaderFromValues<PictureHeader>(values);
        if (picture.codingType < 1 || picture.codingType > 3) {
            Message("Unknown Frame Type! GOP Number: " + std::to_string(scan_.currentGOPNumber) +
                    ", File Position: " + std::to_string(picture.filePosition));
        }
    }
    scan_.entries.push_back(std::move(entry));
}

}  // namespace varnix
