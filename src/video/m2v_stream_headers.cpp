// The handlers of the stream's headers: sequence, GOP and picture level, their extensions and
// user data, and the start codes that belong to no video header.
#include <algorithm>
#include <cstdio>

#include "video/info_cache.h"
#include "video/m2v_stream.h"

namespace varnix {

namespace {

bool IsSlice(std::uint32_t code) {
    return code >= start_code::kSliceFirst && code <= start_code::kSliceLast;
}

std::string Hex2(std::uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

}  // namespace

void TM2VStream::HandleSequenceHeader() {
    const std::int64_t position = codePosition_;
    SequenceHeader header;
    const bool complete = ParseSequenceHeader(reader_, header);
    FindNext();
    if (!complete) {
        return;
    }
    ++r_.sequenceHeaders;
    lastSequenceHeaderPosition_ = position;
    const bool sized = header.horizontalSize != 0 && header.verticalSize != 0;

    if (cacheWriter_ && cacheWriter_->IsOpen()) {
        // Written in full up to the first sized header, which becomes the reference; later
        // ones are compared with it (they carry their own number, so they differ).
        if (!haveReferenceHeader_) {
            if (sized) {
                referenceHeader_ = header;
                haveReferenceHeader_ = true;
            }
            header.number = r_.sequenceHeaders;
            cacheWriter_->WriteEntry(entry_tag::kSequenceHeader, header.Values());
        } else {
            header.number = r_.sequenceHeaders;
            if (header.Values() == referenceHeader_.Values()) {
                cacheWriter_->WriteEntry(entry_tag::kSameSequenceHeader, {});
            } else {
                cacheWriter_->WriteEntry(entry_tag::kSequenceHeader, header.Values());
            }
        }
    } else {
        header.number = r_.sequenceHeaders;
        if (collect_) {
            AddEntry(entry_tag::kSequenceHeader, header.Values());
        }
    }

    if (sized && !haveSize_) {
        r_.width = header.horizontalSize;
        r_.height = header.verticalSize;
        haveSize_ = true;
    }
    if (!displayExtensionSeen_) {
        panScanPictureWidth_ = header.horizontalSize;
    }
    if (sized) {
        const std::uint64_t value = header.bitRateValue;
        if (!haveBitRate_) {
            r_.highestBitRate = value;
            r_.lowestBitRate = value;
            haveBitRate_ = true;
        }
        if (r_.bitRate == 0) {
            r_.bitRate = header.bitRateValue * 400;
        }
        r_.highestBitRate = std::max(r_.highestBitRate, value);
        r_.lowestBitRate = std::min(r_.lowestBitRate, value);
        if (value != 0) {
            r_.bitRateSum += value / 100;
            ++r_.bitRateCount;
        }
    }
    const std::uint32_t aspect = header.aspectRatio;
    if (r_.aspectRatio == 0) {
        if (aspect <= 8 || aspect == 12) {
            r_.aspectRatio = aspect;
        }
    } else if (aspect != r_.aspectRatio) {
        if (++r_.aspectChanges == 1) {
            Message("Aspect ratio was changed in SEQUENCE_HEADER #" +
                    std::to_string(r_.sequenceHeaders));
        }
    }
    if (r_.frameRateCode == 0 && header.frameRateCode >= 1 && header.frameRateCode <= 8) {
        r_.frameRateCode = header.frameRateCode;
    }
}

void TM2VStream::HandleSequenceExtension() {
    SequenceExtension extension;
    const bool complete = ParseSequenceExtension(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    r_.mpegVersion = 2;
    progressiveSequence_ = extension.progressiveSequence;
    if (cacheWriter_ && cacheWriter_->IsOpen()) {
        if (!haveReferenceExtension_) {
            referenceExtension_ = extension;
            haveReferenceExtension_ = true;
            cacheWriter_->WriteEntry(entry_tag::kSequenceExtension, extension.Values());
        } else if (extension.Values() == referenceExtension_.Values()) {
            cacheWriter_->WriteEntry(entry_tag::kSameSequenceExtension, {});
        } else {
            cacheWriter_->WriteEntry(entry_tag::kSequenceExtension, extension.Values());
        }
    } else if (collect_) {
        AddEntry(entry_tag::kSequenceExtension, extension.Values());
    }
}

// The identifier of the extension whose start code the reader stands on.
static std::uint32_t ExtensionIdentifier(TFileBitStream& reader) {
    return reader.PeekBits(12) & 0xF;
}

void TM2VStream::SequenceLevelExtensions() {
    while (!reader_.EndOfData() &&
           (code_ == start_code::kExtension || code_ == start_code::kUserData)) {
        if (code_ == start_code::kUserData) {
            HandleUserData(false);
            continue;
        }
        switch (ExtensionIdentifier(reader_)) {
            case extension_id::kSequenceDisplay:
                HandleSequenceDisplayExtension();
                break;
            case extension_id::kSequenceScalable:
                HandleMinorExtension(entry_tag::kSequenceScalableExtension,
                                     ParseSequenceScalableExtension);
                break;
            default:
                SkipUnknown();
                break;
        }
    }
}

// Only user data belongs after a GOP header; an extension there is stepped over.
void TM2VStream::GOPLevelUserData() {
    bool afterGOP = true;
    while (!reader_.EndOfData() &&
           (code_ == start_code::kUserData || code_ == start_code::kExtension)) {
        if (code_ == start_code::kUserData) {
            HandleUserData(afterGOP);
        } else {
            SkipUnknown();
        }
        afterGOP = false;
    }
}

void TM2VStream::PictureLevelExtensions() {
    while (!reader_.EndOfData() &&
           (code_ == start_code::kExtension || code_ == start_code::kUserData)) {
        if (code_ == start_code::kUserData) {
            HandleUserData(false);
            continue;
        }
        switch (ExtensionIdentifier(reader_)) {
            case extension_id::kQuantMatrix:
                HandleMinorExtension(entry_tag::kQuantMatrixExtension, ParseQuantMatrixExtension);
                break;
            case extension_id::kPictureDisplay:
                HandlePictureDisplayExtension();
                break;
            case extension_id::kPictureSpatialScalable:
                HandleMinorExtension(entry_tag::kPictureSpatialScalableExtension,
                                     ParsePictureSpatialScalableExtension);
                break;
            case extension_id::kPictureTemporalScalable:
                HandleMinorExtension(entry_tag::kPictureTemporalScalableExtension,
                                     ParsePictureTemporalScalableExtension);
                break;
            default:
                SkipUnknown();
                break;
        }
    }
}

void TM2VStream::HandleSequenceDisplayExtension() {
    SequenceDisplayExtension extension;
    const bool complete = ParseSequenceDisplayExtension(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    if (!displayExtensionSeen_) {
        displayExtensionSeen_ = true;
        r_.displayWidth = extension.displayHorizontalSize;
        r_.displayHeight = extension.displayVerticalSize;
        r_.panScan = PanScanTest();
    }
    Record(entry_tag::kSequenceDisplayExtension, extension.Values());
}

void TM2VStream::HandleMinorExtension(std::uint16_t tag,
                                      bool (*parse)(TFileBitStream&, std::vector<std::uint32_t>&)) {
    std::vector<std::uint32_t> values;
    const bool complete = parse(reader_, values);
    FindNext();
    if (complete) {
        RecordMinor(tag, values);
    }
}

void TM2VStream::HandlePictureDisplayExtension() {
    const int offsets = FrameCentreOffsets(
        progressiveSequence_, lastCodingExtension_.pictureStructure,
        lastCodingExtension_.topFieldFirst, lastCodingExtension_.repeatFirstField);
    std::vector<std::uint32_t> values;
    const bool complete = ParsePictureDisplayExtension(reader_, offsets, values);
    FindNext();
    if (complete) {
        RecordMinor(entry_tag::kPictureDisplayExtension, values);
    }
}

// User data runs up to the next start code. Right after a GOP header its first bytes may be
// DVD closed captions, which set the Line21 flags.
void TM2VStream::HandleUserData(bool afterGOP) {
    const std::int64_t position = codePosition_;
    reader_.GetBits(8);
    // Byte by byte up to the next prefix, keeping the first ten bytes: user data is short,
    // and the look-ahead could not see a prefix split by a buffer near the end of the file.
    std::array<std::uint8_t, 10> first{};
    std::uint64_t count = 0;
    int zeros = 0;
    bool found = false;
    while (!reader_.EndOfData()) {
        const auto byte = static_cast<std::uint8_t>(reader_.GetBits(8));
        if (byte == 1 && zeros >= 2) {
            found = true;
            break;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        if (count < first.size()) {
            first[count] = byte;
        }
        ++count;
    }
    if (found) {
        count -= 2;  // the prefix's own zeros
    }
    AtPrefix(found);
    if (afterGOP) {
        const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(count, first.size()));
        TestLine21UserData(std::span<const std::uint8_t>(first.data(), kept), r_.line21Switch1,
                           r_.line21Switch2);
    }
    if (collectAll_) {
        const std::array<std::uint32_t, 5> values = {
            start_code::kUserData, static_cast<std::uint32_t>(position),
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(position) >> 32),
            static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(count >> 32)};
        RecordMinor(entry_tag::kUserData, values);
    }
}

void TM2VStream::HandleGOP() {
    GOPHeader header;
    const bool complete = ParseGOPHeader(reader_, header);
    FindNext();
    if (!complete) {
        return;
    }
    r_.picturesInGOP = 0;
    picturesBeforeGOP_ += picturesInThisGOP_;
    picturesInThisGOP_ = 0;
    ++r_.gops;
    currentGOPNumber_ = r_.gops;
    if (r_.gops == 1) {
        r_.startTime =
            MakeTimeCode(static_cast<int>(header.hours), static_cast<int>(header.minutes),
                         static_cast<int>(header.seconds), static_cast<int>(header.pictures));
    }
    header.number = static_cast<std::uint32_t>(r_.gops);
    Record(entry_tag::kGOP, header.Values());
}

void TM2VStream::HandlePictureHeader() {
    const std::int64_t position = codePosition_;
    PictureHeader picture;
    const bool complete = ParsePictureHeader(reader_, picture);
    FindNext();
    if (!complete) {
        return;
    }
    picture.displayPosition =
        static_cast<std::uint32_t>(picture.temporalReference + picturesBeforeGOP_);
    ++picturesInThisGOP_;
    history_.codingType[2] = history_.codingType[1];
    history_.codingType[1] = history_.codingType[0];
    history_.codingType[0] = picture.codingType;
    if (picture.vbvDelay == 0xFFFF) {
        r_.variableBitRate = true;
    }
    const bool intra = picture.codingType == 1 || picture.codingType == 0;
    picture.filePosition =
        static_cast<std::uint64_t>(intra ? lastSequenceHeaderPosition_ : position);
    if (r_.mpegVersion == 1) {
        CountMpeg1Picture(picture);
    }
    Record(entry_tag::kPictureHeader, picture.Values());
}

bool TM2VStream::IsMarked(std::int64_t position) const {
    return position >= 0 && position < static_cast<std::int64_t>(displayTable_.size()) &&
           displayTable_[static_cast<std::size_t>(position)] != 0;
}

// MPEG-1 pictures are counted by their display positions, so that a reference picture sent
// twice counts once.
void TM2VStream::CountMpeg1Picture(const PictureHeader& picture) {
    const auto position = static_cast<std::int64_t>(picture.temporalReference) +
                          static_cast<std::int64_t>(picturesBeforeGOP_);
    if (picture.codingType >= 1 && picture.codingType <= 3) {
        if (!anyMarked_ || !IsMarked(position)) {
            r_.pictures += 1;
            r_.picturesInGOP += 1;
            if (position >= 0 && position < static_cast<std::int64_t>(kDisplayPositions)) {
                if (displayTable_.empty()) {
                    displayTable_.assign(kDisplayPositions, 0);  // only MPEG-1 streams need it
                }
                displayTable_[static_cast<std::size_t>(position)] = 1;
                anyMarked_ = true;
                lastMarked_ = position;
            }
        } else if (position == lastMarked_) {
            ++r_.repeatedReferences;
        } else if (IsMarked(position - 1) || IsMarked(position - 2) || IsMarked(position - 3)) {
            r_.pictures += 1;
            r_.picturesInGOP += 1;
        }
    }
    r_.fields += 2;
    UpdateLongestGOP();
}

void TM2VStream::UpdateLongestGOP() {
    const auto inGOP = static_cast<std::uint32_t>(RoundEven(0.1 + r_.picturesInGOP));
    r_.longestGOP = std::max(r_.longestGOP, inGOP);
}

void TM2VStream::HandlePictureCodingExtension() {
    PictureCodingExtension extension;
    const bool complete = ParsePictureCodingExtension(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    lastCodingExtension_ = extension;
    if (r_.mpegVersion == 2) {
        const bool notPAL = WholeFrameRateOfCode(r_.frameRateCode) != 25;
        history_.topFieldFirst[2] = history_.topFieldFirst[1];
        history_.repeatFirstField[2] = history_.repeatFirstField[1];
        history_.topFieldFirst[1] = history_.topFieldFirst[0];
        history_.repeatFirstField[1] = history_.repeatFirstField[0];
        if (notPAL && history_.topFieldFirst[1] != 0) {
            r_.pullDown = true;
        }
        history_.topFieldFirst[0] = extension.topFieldFirst;
        history_.repeatFirstField[0] = extension.repeatFirstField;
        if (notPAL && extension.repeatFirstField != 0) {
            r_.pullDown = true;
        }
        r_.fields += extension.repeatFirstField != 0 ? 2 : 1;
        if (extension.pictureStructure == 3) {
            r_.pictures += 1;
            r_.picturesInGOP += 1;
            r_.fields += 1;
        } else if (extension.pictureStructure == 1 || extension.pictureStructure == 2) {
            r_.pictures += 0.5;
            r_.picturesInGOP += 0.5;
        }
        UpdateLongestGOP();
    }
    Record(entry_tag::kPictureCodingExtension, extension.Values());
}

void TM2VStream::SkipSlices() {
    const bool tall = r_.height > 2800;
    while (!reader_.EndOfData() && IsSlice(code_)) {
        SkipSliceHeader(reader_, tall);
        FindNext();
    }
}

void TM2VStream::SkipUnknown() {
    reader_.GetBits(8);
    FindNext();
}

void TM2VStream::NoteUnformattedData() {
    const std::int64_t position = codePosition_;
    const std::uint32_t code = code_;
    reader_.GetBits(8);
    FindNext();
    const std::int64_t length = codePosition_ - position;
    r_.unformatted.push_back({position, length});
    Message("Find not formatted stream or data: " + Hex2(code) + " - " +
            SystemStreamDescription(code) + ", FilePos: " + std::to_string(position) +
            ", Length: " + std::to_string(length) + " bytes.");
    if (collectAll_) {
        const auto p = static_cast<std::uint64_t>(position);
        const auto n = static_cast<std::uint64_t>(length);
        const std::array<std::uint32_t, 5> values = {
            code, static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(p >> 32),
            static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n >> 32)};
        RecordMinor(entry_tag::kUnformattedData, values);
    }
}

void TM2VStream::HandleSequenceEnd() {
    reader_.GetBits(8);
    ++r_.sequenceEnds;
    const std::array<std::uint32_t, 1> values = {static_cast<std::uint32_t>(r_.sequenceEnds)};
    Record(entry_tag::kSequenceEnd, values);
    FindNext();
}

}  // namespace varnix
