#include "video/m2v_stream.h"

#include <algorithm>

#include "core/file_helpers.h"
#include "video/info_cache.h"

namespace varnix {

namespace {

bool IsSystem(std::uint32_t code) {
    return code >= start_code::kSystemFirst && code <= 0xFF;
}

}  // namespace

TM2VStream::TM2VStream(const std::string& fileName)
    : fileName_(fileName),
      reader_(fileName, TFileBitStream::kScanBufferSize),
      fileSize_(reader_.FileSize()) {}

TM2VStream::~TM2VStream() = default;

void TM2VStream::Reset() {
    r_ = M2VResults{};
    history_ = PictureHistory{};
    std::fill(displayTable_.begin(), displayTable_.end(), std::uint8_t{0});
    anyMarked_ = false;
    lastMarked_ = -1;
    code_ = start_code::kNone;
    codePosition_ = 0;
    aborted_ = false;
    bitRatesConverted_ = false;
    entries_.clear();
    cacheWriter_.reset();
    haveSize_ = false;
    haveBitRate_ = false;
    haveReferenceHeader_ = false;
    haveReferenceExtension_ = false;
    progressiveSequence_ = 0;
    lastCodingExtension_ = PictureCodingExtension{};
    lastSequenceHeaderPosition_ = 0;
    picturesBeforeGOP_ = 0;
    picturesInThisGOP_ = 0;
    currentGOPNumber_ = 0;
    idleCounter_ = 0;
    displayExtensionSeen_ = false;
    panScanPictureWidth_ = 0;
    lastProgress_ = -1;
}

void TM2VStream::Scan(bool collect, bool collectAll) {
    Reset();
    collect_ = collect;
    collectAll_ = collectAll;
    if (progress_ != nullptr) {
        progress_->setMinimum(0);
        progress_->setMaximum(fileSize_ /
                              static_cast<std::int64_t>(TFileBitStream::kScanBufferSize));
        progress_->setPosition(0);
    }
    cacheInUse_ = cache_ && !quick_;
    bool loadedValidCache = false;
    if (cacheInUse_) {
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
        if (cacheWriter_ && cacheWriter_->IsOpen()) {
            cacheWriter_->WriteEntry(entry_tag::kEnd, {});
        }
        if (cacheInUse_ && !aborted_) {
            FinishCacheAfterScan();
        }
    }
    ComputeFrames(loadedValidCache);
    if (cacheWriter_) {
        // The final values go into the header, and only a complete cache file takes the
        // cache's name; after an abort nothing is left behind.
        if (!aborted_ && cacheWriter_->RewriteHeader(MakeRecord(true))) {
            cacheWriter_->Commit();
        }
        cacheWriter_.reset();
    }
}

// The stream as a sequence of sequences: each sequence header (with its extension) is followed
// by pictures, grouped or not into GOPs, up to the next sequence header or a sequence end.
void TM2VStream::RunMainLoop() {
    if (!FindNext()) {
        return;
    }
    while (true) {
        HandleSequenceHeader();
        if (code_ == start_code::kExtension) {
            HandleSequenceExtension();
        }
        while (true) {
            SequenceLevelExtensions();
            if (IsSystem(code_)) {
                NoteUnformattedData();
            }
            PictureLoop();
            if (aborted_ || reader_.EndOfData()) {
                break;
            }
            if (quick_ && r_.pictures != 1.0) {
                break;
            }
            if (code_ != start_code::kSequenceEnd) {
                HandleSequenceHeader();
                if (code_ == start_code::kExtension) {
                    HandleSequenceExtension();
                }
            }
            UpdateProgress();
            if (code_ == start_code::kSequenceEnd || reader_.EndOfData() || CheckAbort()) {
                break;
            }
        }
        if (aborted_ || (quick_ && r_.pictures != 1.0)) {
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
        if (code_ == start_code::kGOP) {
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
        if (code_ == start_code::kExtension) {
            HandlePictureCodingExtension();
        }
        PictureLevelExtensions();
        SkipSlices();
        if (code_ != start_code::kPicture && code_ != start_code::kGOP) {
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
        code_ = start_code::kNone;
        codePosition_ = fileSize_;
        return false;
    }
    if (reader_.EndOfData()) {
        // The prefix ends the file: a start code without a value.
        code_ = start_code::kNone;
        codePosition_ = fileSize_ - 3;
        return true;
    }
    codePosition_ = reader_.Position() - 3;
    code_ = reader_.PeekBits(8);
    return true;
}

bool TM2VStream::CheckAbort() {
    if (IsAborted(abort_)) {
        aborted_ = true;
    }
    return aborted_;
}

void TM2VStream::UpdateProgress() {
    if (progress_ == nullptr) {
        return;
    }
    const std::int64_t blocks = reader_.FillCount();
    const std::int64_t position =
        blockProgress_ ? blocks : RoundEven(0.85L * static_cast<long double>(blocks));
    if (position != lastProgress_ && position <= progress_->maximum()) {
        progress_->setPosition(position);
        lastProgress_ = position;
    }
}

// Called at GOP 10, 19, 28, ...
void TM2VStream::CallIdle() {
    if (++idleCounter_ == 10) {
        idleCounter_ = 1;
        if (idle_) {
            idle_();
        }
    }
}

void TM2VStream::Message(const std::string& text) const {
    if (message_) {
        message_(text);
    }
}

// A 4:3 picture of 704 or 720 pixels shown 540 wide is a pan-scan window.
bool TM2VStream::PanScanTest() const {
    return r_.aspectRatio == 2 && displayExtensionSeen_ && r_.displayWidth != 0 &&
           r_.displayHeight != 0 && r_.displayWidth == 540 &&
           (panScanPictureWidth_ == 704 || panScanPictureWidth_ == 720);
}

void TM2VStream::Record(std::uint16_t tag, std::span<const std::uint32_t> values) {
    if (cacheWriter_ && cacheWriter_->IsOpen()) {
        cacheWriter_->WriteEntry(tag, values);
    } else if (collect_) {
        AddEntry(tag, values);
    }
}

void TM2VStream::RecordMinor(std::uint16_t tag, std::span<const std::uint32_t> values) {
    if (collectAll_) {
        AddEntry(tag, values);
    }
}

void TM2VStream::AddEntry(std::uint16_t tag, std::span<const std::uint32_t> values) {
    HeaderEntry entry;
    entry.tag = tag;
    entry.number = entries_.size() + 1;
    entry.values.assign(values.begin(), values.end());
    if (tag == entry_tag::kPictureHeader) {
        const PictureHeader picture = PictureHeader::FromValues(values);
        if (picture.codingType < 1 || picture.codingType > 3) {
            Message("Unknown Frame Type! GOP Number: " + std::to_string(currentGOPNumber_) +
                    ", File Position: " + std::to_string(picture.filePosition));
        }
    }
    entries_.push_back(std::move(entry));
}

}  // namespace varnix
