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
    const std::int64_t position = CodePosition();
    SequenceHeader header;
    const bool complete = ParseHeader(reader_, header);
    FindNext();
    if (!complete) {
        return;
    }
    ++scan_.results.sequenceHeaders;
    scan_.lastSequenceHeaderPosition = position;
    const bool sized = header.horizontalSize != 0 && header.verticalSize != 0;

    if (scan_.cacheWriter && scan_.cacheWriter->IsOpen()) {
        // Written in full up to the first sized header, which becomes the reference; later
        // ones are compared with it (they carry their own number, so they differ).
        if (!scan_.referenceHeader) {
            if (sized) {
                scan_.referenceHeader = header;
            }
            header.number = scan_.results.sequenceHeaders;
            scan_.cacheWriter->WriteEntry(entry_tag::kSequenceHeader, HeaderValues(header));
        } else {
            header.number = scan_.results.sequenceHeaders;
            if (HeaderValues(header) == HeaderValues(*scan_.referenceHeader)) {
                scan_.cacheWriter->WriteEntry(entry_tag::kSameSequenceHeader, {});
            } else {
                scan_.cacheWriter->WriteEntry(entry_tag::kSequenceHeader, HeaderValues(header));
            }
        }
    } else {
        header.number = scan_.results.sequenceHeaders;
        if (scan_.collect) {
            AddEntry(entry_tag::kSequenceHeader, HeaderValues(header));
        }
    }

    if (sized && !scan_.haveSize) {
        scan_.results.width = header.horizontalSize;
        scan_.results.height = header.verticalSize;
        scan_.haveSize = true;
    }
    if (!scan_.displayExtensionSeen) {
        scan_.panScanPictureWidth = header.horizontalSize;
    }
    if (sized) {
        const std::uint64_t value = header.bitRateValue;
        if (!scan_.haveBitRate) {
            scan_.results.highestBitRate = value;
            scan_.results.lowestBitRate = value;
            scan_.haveBitRate = true;
        }
        if (scan_.results.bitRate == 0) {
            scan_.results.bitRate = header.bitRateValue * 400;
        }
        scan_.results.highestBitRate = std::max(scan_.results.highestBitRate, value);
        scan_.results.lowestBitRate = std::min(scan_.results.lowestBitRate, value);
        if (value != 0) {
            scan_.results.bitRateSum += value / 100;
            ++scan_.results.bitRateCount;
        }
    }
    const std::uint32_t aspect = header.aspectRatio;
    if (scan_.results.aspectRatio == 0) {
        if (aspect <= 8 || aspect == 12) {
            scan_.results.aspectRatio = aspect;
        }
    } else if (aspect != scan_.results.aspectRatio) {
        if (++scan_.results.aspectChanges == 1) {
            Message("Aspect ratio was changed in SEQUENCE_HEADER #" +
                    std::to_string(scan_.results.sequenceHeaders));
        }
    }
    if (scan_.results.frameRateCode == 0 && header.frameRateCode >= 1 &&
        header.frameRateCode <= 8) {
        scan_.results.frameRateCode = header.frameRateCode;
    }
}

void TM2VStream::HandleSequenceExtension() {
    SequenceExtension extension;
    const bool complete = ParseHeader(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    scan_.results.mpegVersion = 2;
    scan_.progressiveSequence = extension.progressiveSequence;
    if (scan_.cacheWriter && scan_.cacheWriter->IsOpen()) {
        if (!scan_.referenceExtension) {
            scan_.referenceExtension = extension;
            scan_.cacheWriter->WriteEntry(entry_tag::kSequenceExtension, HeaderValues(extension));
        } else if (HeaderValues(extension) == HeaderValues(*scan_.referenceExtension)) {
            scan_.cacheWriter->WriteEntry(entry_tag::kSameSequenceExtension, {});
        } else {
            scan_.cacheWriter->WriteEntry(entry_tag::kSequenceExtension, HeaderValues(extension));
        }
    } else if (scan_.collect) {
        AddEntry(entry_tag::kSequenceExtension, HeaderValues(extension));
    }
}

// The identifier of the extension whose start code the reader stands on.
static std::uint32_t ExtensionIdentifier(TBitStream& reader) {
    return reader.PeekBits(12) & 0xF;
}

void TM2VStream::SequenceLevelExtensions() {
    while (!reader_.EndOfData() &&
           (scan_.code == start_code::kExtension || scan_.code == start_code::kUserData)) {
        if (scan_.code == start_code::kUserData) {
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
           (scan_.code == start_code::kUserData || scan_.code == start_code::kExtension)) {
        if (scan_.code == start_code::kUserData) {
            HandleUserData(afterGOP);
        } else {
            SkipUnknown();
        }
        afterGOP = false;
    }
}

void TM2VStream::PictureLevelExtensions() {
    while (!reader_.EndOfData() &&
           (scan_.code == start_code::kExtension || scan_.code == start_code::kUserData)) {
        if (scan_.code == start_code::kUserData) {
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
    const bool complete = ParseHeader(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    if (!scan_.displayExtensionSeen) {
        scan_.displayExtensionSeen = true;
        scan_.results.displayWidth = extension.displayHorizontalSize;
        scan_.results.displayHeight = extension.displayVerticalSize;
        scan_.results.panScan = PanScanTest();
    }
    Record(entry_tag::kSequenceDisplayExtension, HeaderValues(extension));
}

void TM2VStream::HandleMinorExtension(std::uint16_t tag,
                                      bool (*parse)(TBitStream&, std::vector<std::uint32_t>&)) {
    std::vector<std::uint32_t> values;
    const bool complete = parse(reader_, values);
    FindNext();
    if (complete) {
        RecordMinor(tag, values);
    }
}

void TM2VStream::HandlePictureDisplayExtension() {
    const int offsets = FrameCentreOffsets(
        scan_.progressiveSequence, scan_.lastCodingExtension.pictureStructure,
        scan_.lastCodingExtension.topFieldFirst, scan_.lastCodingExtension.repeatFirstField);
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
    const std::int64_t position = CodePosition();
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
        TestLine21UserData(std::span<const std::uint8_t>(first.data(), kept),
                           scan_.results.line21Switch1, scan_.results.line21Switch2);
    }
    if (scan_.collectAll) {
        const UnparsedData data{start_code::kUserData, static_cast<std::uint64_t>(position), count};
        RecordMinor(entry_tag::kUserData, HeaderValues(data));
    }
}

void TM2VStream::HandleGOP() {
    GOPHeader header;
    const bool complete = ParseHeader(reader_, header);
    FindNext();
    if (!complete) {
        return;
    }
    scan_.results.picturesInGOP = 0;
    scan_.picturesBeforeGOP += scan_.picturesInThisGOP;
    scan_.picturesInThisGOP = 0;
    ++scan_.results.gops;
    scan_.currentGOPNumber = scan_.results.gops;
    if (scan_.results.gops == 1) {
        scan_.results.startTime =
            MakeTimeCode(static_cast<int>(header.hours), static_cast<int>(header.minutes),
                         static_cast<int>(header.seconds), static_cast<int>(header.pictures));
    }
    header.number = static_cast<std::uint32_t>(scan_.results.gops);
    Record(entry_tag::kGOP, HeaderValues(header));
}

void TM2VStream::HandlePictureHeader() {
    const std::int64_t position = CodePosition();
    PictureHeader picture;
    const bool complete = ParseHeader(reader_, picture);
    FindNext();
    if (!complete) {
        return;
    }
    picture.displayPosition =
        static_cast<std::uint32_t>(picture.temporalReference + scan_.picturesBeforeGOP);
    ++scan_.picturesInThisGOP;
    scan_.history.codingType[2] = scan_.history.codingType[1];
    scan_.history.codingType[1] = scan_.history.codingType[0];
    scan_.history.codingType[0] = picture.codingType;
    if (picture.vbvDelay == 0xFFFF) {
        scan_.results.variableBitRate = true;
    }
    const bool intra = picture.codingType == 1 || picture.codingType == 0;
    picture.filePosition =
        static_cast<std::uint64_t>(intra ? scan_.lastSequenceHeaderPosition : position);
    if (scan_.results.mpegVersion == 1) {
        CountMpeg1Picture(picture);
    }
    Record(entry_tag::kPictureHeader, HeaderValues(picture));
}

bool TM2VStream::IsMarked(std::int64_t position) const {
    return position >= 0 && position < static_cast<std::int64_t>(scan_.displayTable.size()) &&
           scan_.displayTable[static_cast<std::size_t>(position)] != 0;
}

// MPEG-1 pictures are counted by their display positions, so that a reference picture sent
// twice counts once.
void TM2VStream::CountMpeg1Picture(const PictureHeader& picture) {
    const auto position = static_cast<std::int64_t>(picture.temporalReference) +
                          static_cast<std::int64_t>(scan_.picturesBeforeGOP);
    if (picture.codingType >= 1 && picture.codingType <= 3) {
        if (!scan_.anyMarked || !IsMarked(position)) {
            scan_.results.pictures += 1;
            scan_.results.picturesInGOP += 1;
            if (position >= 0 && position < static_cast<std::int64_t>(kDisplayPositions)) {
                if (scan_.displayTable.empty()) {
                    scan_.displayTable.assign(kDisplayPositions, 0);  // only MPEG-1 streams need it
                }
                scan_.displayTable[static_cast<std::size_t>(position)] = 1;
                scan_.anyMarked = true;
                scan_.lastMarked = position;
            }
        } else if (position == scan_.lastMarked) {
            ++scan_.results.repeatedReferences;
        } else if (IsMarked(position - 1) || IsMarked(position - 2) || IsMarked(position - 3)) {
            scan_.results.pictures += 1;
            scan_.results.picturesInGOP += 1;
        }
    }
    scan_.results.fields += 2;
    UpdateLongestGOP();
}

void TM2VStream::UpdateLongestGOP() {
    const auto inGOP = static_cast<std::uint32_t>(RoundEven(0.1 + scan_.results.picturesInGOP));
    scan_.results.longestGOP = std::max(scan_.results.longestGOP, inGOP);
}

void TM2VStream::HandlePictureCodingExtension() {
    PictureCodingExtension extension;
    const bool complete = ParseHeader(reader_, extension);
    FindNext();
    if (!complete) {
        return;
    }
    scan_.lastCodingExtension = extension;
    if (scan_.results.mpegVersion == 2) {
        const bool notPAL = WholeFrameRateOfCode(scan_.results.frameRateCode) != 25;
        scan_.history.topFieldFirst[2] = scan_.history.topFieldFirst[1];
        scan_.history.repeatFirstField[2] = scan_.history.repeatFirstField[1];
        scan_.history.topFieldFirst[1] = scan_.history.topFieldFirst[0];
        scan_.history.repeatFirstField[1] = scan_.history.repeatFirstField[0];
        if (notPAL && scan_.history.topFieldFirst[1] != 0) {
            scan_.results.pullDown = true;
        }
        scan_.history.topFieldFirst[0] = extension.topFieldFirst;
        scan_.history.repeatFirstField[0] = extension.repeatFirstField;
        if (notPAL && extension.repeatFirstField != 0) {
            scan_.results.pullDown = true;
        }
        scan_.results.fields += extension.repeatFirstField != 0 ? 2 : 1;
        if (extension.pictureStructure == 3) {
            scan_.results.pictures += 1;
            scan_.results.picturesInGOP += 1;
            scan_.results.fields += 1;
        } else if (extension.pictureStructure == 1 || extension.pictureStructure == 2) {
            scan_.results.pictures += 0.5;
            scan_.results.picturesInGOP += 0.5;
        }
        UpdateLongestGOP();
    }
    Record(entry_tag::kPictureCodingExtension, HeaderValues(extension));
}

void TM2VStream::SkipSlices() {
    const bool tall = scan_.results.height > 2800;
    while (!reader_.EndOfData() && IsSlice(scan_.code)) {
        SkipSliceHeader(reader_, tall);
        FindNext();
    }
}

void TM2VStream::SkipUnknown() {
    reader_.GetBits(8);
    FindNext();
}

void TM2VStream::NoteUnformattedData() {
    const std::int64_t position = CodePosition();
    const std::uint32_t code = scan_.code;
    reader_.GetBits(8);
    FindNext();
    const std::int64_t length = CodePosition() - position;
    scan_.results.unformatted.push_back({position, length});
    Message("Find not formatted stream or data: " + Hex2(code) + " - " +
            SystemStreamDescription(code) + ", FilePos: " + std::to_string(position) +
            ", Length: " + std::to_string(length) + " bytes.");
    if (scan_.collectAll) {
        const UnparsedData data{code, static_cast<std::uint64_t>(position),
                                static_cast<std::uint64_t>(length)};
        RecordMinor(entry_tag::kUnformattedData, HeaderValues(data));
    }
}

void TM2VStream::HandleSequenceEnd() {
    reader_.GetBits(8);
    ++scan_.results.sequenceEnds;
    const SequenceEndRecord end{static_cast<std::uint32_t>(scan_.results.sequenceEnds)};
    Record(entry_tag::kSequenceEnd, HeaderValues(end));
    FindNext();
}

}  // namespace varnix
