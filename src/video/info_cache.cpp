#include "video/info_cache.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "core/host.h"
#include "video/m2v_stream.h"

namespace varnix {

namespace {

// A short hidden name in the cache's folder: the rename stays within one file system, and a
// long video name cannot push the temporary name past the system's limit.
std::string TemporaryNameFor(const std::string& cacheName) {
    std::random_device random;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 12; ++i) {
        suffix += kHex[random() % 16];
    }
    return FolderOf(cacheName) + ".varnix-" + suffix + ".vnf.tmp";
}

std::uint16_t Get16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// The bytes of a record's values in the cache file.
template <typename Record>
constexpr int PayloadBytes() {
    return static_cast<int>(4 * kHeaderValueCount<Record>);
}

// The values of the largest payload.
constexpr std::size_t kMaxPayloadValues =
    std::max({kHeaderValueCount<SequenceHeader>, kHeaderValueCount<SequenceExtension>,
              kHeaderValueCount<SequenceDisplayExtension>, kHeaderValueCount<GOPHeader>,
              kHeaderValueCount<PictureHeader>, kHeaderValueCount<PictureCodingExtension>,
              kHeaderValueCount<SequenceEndRecord>});

}  // namespace

std::optional<VideoInfo> ReadVideoInfoFile(const std::string& fileName) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kVideoInfoSize> bytes{};
    if (file.read(bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    return VideoInfo::FromBytes(bytes);
}

bool CacheMatchesVideo(const VideoInfo& cached, std::uint64_t videoFileTime,
                       std::uint64_t videoFileSize) {
    const auto blocks = static_cast<std::uint32_t>(videoFileSize / TFileBitStream::kScanBufferSize);
    return cached.HasMagic() && videoFileTime != 0 && cached.fileTime == videoFileTime &&
           cached.fileBlocks == blocks;
}

int CacheEntryPayloadBytes(std::uint16_t tag) {
    switch (tag) {
        case entry_tag::kEnd:
        case entry_tag::kSameSequenceHeader:
        case entry_tag::kSameSequenceExtension:
            return 0;
        case entry_tag::kSequenceHeader:
            return PayloadBytes<SequenceHeader>();
        case entry_tag::kSequenceExtension:
            return PayloadBytes<SequenceExtension>();
        case entry_tag::kPictureHeader:
            return PayloadBytes<PictureHeader>();
        case entry_tag::kSequenceDisplayExtension:
            return PayloadBytes<SequenceDisplayExtension>();
        case entry_tag::kGOP:
            return PayloadBytes<GOPHeader>();
        case entry_tag::kPictureCodingExtension:
            return PayloadBytes<PictureCodingExtension>();
        case entry_tag::kSequenceEnd:
            return PayloadBytes<SequenceEndRecord>();
        default:
            return -1;
    }
}

InfoCacheWriter::InfoCacheWriter(std::string cacheName)
    : cacheName_(std::move(cacheName)), workingName_(TemporaryNameFor(cacheName_)) {}

InfoCacheWriter::~InfoCacheWriter() {
    if (!committed_) {
        Discard();
    }
}

bool InfoCacheWriter::Begin(const VideoInfo& provisional) {
    begun_ = true;
    try {
        stream_ = std::make_unique<TVobFileStream>(workingName_, true, TVobFileStream::kModeWrite);
    } catch (const EVOBException&) {
        failed_ = true;
        return false;
    }
    const auto bytes = provisional.ToBytes();
    stream_->Write(bytes.data(), bytes.size());
    if (stream_->Failed()) {
        Discard();
        return false;
    }
    return true;
}

void InfoCacheWriter::WriteEntry(std::uint16_t tag, std::span<const std::uint32_t> values) {
    if (!stream_) {
        return;
    }
    std::array<std::uint8_t, 2 + 4 * kMaxPayloadValues> bytes{};
    bytes[0] = static_cast<std::uint8_t>(tag);
    bytes[1] = static_cast<std::uint8_t>(tag >> 8);
    std::size_t size = 2;
    for (std::uint32_t value : values) {
        if (size + 4 > bytes.size()) {
            break;
        }
        for (int i = 0; i < 4; ++i) {
            bytes[size++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    stream_->Write(bytes.data(), size);
}

bool InfoCacheWriter::EndEntries() {
    if (!stream_) {
        return false;
    }
    const bool ok = stream_->Close() && !failed_;
    stream_.reset();
    failed_ = !ok;
    return ok;
}

bool InfoCacheWriter::RewriteHeader(const VideoInfo& record) {
    if (!begun_ || failed_ || stream_) {
        return false;
    }
    try {
        TVobFileStream file(workingName_, false, TVobFileStream::kModeWrite);
        const auto bytes = record.ToBytes();
        file.Write(bytes.data(), bytes.size());
        failed_ = !file.Close();
    } catch (const EVOBException&) {
        failed_ = true;
    }
    return !failed_;
}

bool InfoCacheWriter::Commit() {
    if (!begun_ || failed_ || stream_ || committed_) {
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(PathOf(workingName_), PathOf(cacheName_), ec);
    if (ec) {
        Discard();
        return false;
    }
    committed_ = true;
    return true;
}

void InfoCacheWriter::Discard() {
    if (stream_) {
        stream_->Close();
        stream_.reset();
    }
    if (begun_) {
        DeleteFileIfExists(workingName_);
    }
    failed_ = true;
}

VideoInfo TM2VStream::MakeRecord(bool withFileTime) const {
    VideoInfo v = VideoInfo::WithMagic();
    const std::int32_t whole = WholeFrameRateOfCode(scan_.results.frameRateCode);
    v.startTime = scan_.results.startTime;
    v.duration = FramesToTimeCode(scan_.results.frames, whole);
    v.longestGOP = scan_.results.longestGOP;
    v.wholeFrameRate = whole;
    v.aspectRatio = scan_.results.aspectRatio;
    v.panScan = scan_.results.panScan;
    v.variableBitRate = scan_.results.variableBitRate;
    v.mpegVersion = scan_.results.mpegVersion;
    v.line21Switch1 = scan_.results.line21Switch1;
    v.line21Switch2 = scan_.results.line21Switch2;
    v.frameRateCode = scan_.results.frameRateCode;
    v.frames = scan_.results.frames;
    v.width = scan_.results.width;
    v.height = scan_.results.height;
    v.bitRate = scan_.results.bitRate;
    v.pictures = static_cast<std::uint32_t>(RoundEven(0.1 + scan_.results.pictures));
    v.sequenceEnds = static_cast<std::uint32_t>(scan_.results.sequenceEnds);
    v.lowestBitRate = static_cast<std::uint32_t>(scan_.results.lowestBitRate);
    v.highestBitRate = static_cast<std::uint32_t>(scan_.results.highestBitRate);
    v.averageBitRate = static_cast<std::uint32_t>(
        scan_.bitRatesConverted ? scan_.results.averageBitRate : scan_.results.bitRateSum);
    v.pullDown = scan_.results.pullDown;
    v.fileBlocks = static_cast<std::uint32_t>(
        fileSize_ / static_cast<std::int64_t>(TFileBitStream::kScanBufferSize));
    v.fileTime = withFileTime ? source_->FileTime() : 0;
    v.fields = static_cast<std::uint32_t>(scan_.results.fields);
    v.codedPictures = static_cast<std::uint32_t>(RoundEven(scan_.results.pictures));
    v.displayWidth = scan_.results.displayWidth;
    v.displayHeight = scan_.results.displayHeight;
    return v;
}

void TM2VStream::ApplyRecord(const VideoInfo& v) {
    scan_.results.longestGOP = v.longestGOP;
    scan_.results.aspectRatio = v.aspectRatio;
    scan_.results.panScan = v.panScan;
    scan_.results.mpegVersion = v.mpegVersion;
    scan_.results.line21Switch1 = v.line21Switch1;
    scan_.results.line21Switch2 = v.line21Switch2;
    scan_.results.startTime = v.startTime;
    scan_.results.variableBitRate = v.variableBitRate;
    scan_.results.frameRateCode = v.frameRateCode;
    scan_.results.frames = v.frames;
    scan_.results.height = v.height;
    scan_.results.width = v.width;
    scan_.results.bitRate = v.bitRate;
    scan_.results.pictures = v.pictures;
    scan_.results.sequenceEnds = v.sequenceEnds;
    scan_.results.lowestBitRate = v.lowestBitRate;
    scan_.results.highestBitRate = v.highestBitRate;
    scan_.results.bitRateSum = v.averageBitRate;
    scan_.results.pullDown = v.pullDown;
    scan_.results.fields = v.fields;
    scan_.results.displayWidth = v.displayWidth;
    scan_.results.displayHeight = v.displayHeight;
    if (v.displayWidth != 0 && v.displayHeight != 0) {
        scan_.displayExtensionSeen = true;
    }
}

bool TM2VStream::CacheIsValid() const {
    const std::optional<VideoInfo> cached = ReadVideoInfoFile(CacheFileName());
    return cached &&
           CacheMatchesVideo(*cached, source_->FileTime(), static_cast<std::uint64_t>(fileSize_));
}

void TM2VStream::StartCacheFile() {
    auto writer = std::make_unique<InfoCacheWriter>(CacheFileName());
    if (writer->Begin(MakeRecord(false))) {
        scan_.cacheWriter = std::move(writer);
    }
}

// After a full scan the header gets the scan's values and the entries are read back from the
// file; without a cache file (a read-only folder) the same values come from memory.
void TM2VStream::FinishCacheAfterScan() {
    if (scan_.cacheWriter && scan_.cacheWriter->EndEntries() &&
        scan_.cacheWriter->RewriteHeader(MakeRecord(true))) {
        try {
            LoadBack(scan_.cacheWriter->WorkingName(), false);
            return;
        } catch (const EVOBException&) {
            // The file vanished under us: fall back to the values in memory.
        }
    }
    scan_.cacheWriter.reset();
    ApplyRecord(MakeRecord(true));
    SetLoadProgress(false);
}

void TM2VStream::SetLoadProgress(bool validCache) {
    if (progress_ == nullptr) {
        return;
    }
    const auto pictures = static_cast<std::int64_t>(scan_.results.pictures);
    const std::int64_t mostly = RoundEven(0.85L * static_cast<long double>(scan_.results.pictures));
    if (validCache) {
        progress_->setMaximum(pictures);
        progress_->setMinimum(mostly);
    } else {
        progress_->setMinimum(0);
        progress_->setPosition(0);
        progress_->setMaximum(pictures);
    }
    progress_->setPosition(mostly);
}

void TM2VStream::LoadBack(const std::string& cacheFile, bool validCache) {
    if (!FileExists(cacheFile)) {
        return;
    }
    scan_.entries.clear();
    TVobFileStream in(cacheFile, true, 0);
    std::array<std::uint8_t, kVideoInfoSize> head{};
    if (in.Read(head.data(), head.size()) != head.size()) {
        return;
    }
    ApplyRecord(*VideoInfo::FromBytes(head));
    SetLoadProgress(validCache);

    const std::int64_t mostly = RoundEven(0.85L * static_cast<long double>(scan_.results.pictures));
    std::vector<std::uint32_t> referenceHeader(kHeaderValueCount<SequenceHeader>, 0);
    std::vector<std::uint32_t> referenceExtension(kHeaderValueCount<SequenceExtension>, 0);
    bool haveHeader = false;
    bool haveExtension = false;
    std::size_t latestSequenceHeader = SIZE_MAX;
    std::array<std::uint8_t, 4 * kMaxPayloadValues> payload{};
    std::vector<std::uint32_t> values;
    while (true) {
        std::array<std::uint8_t, 2> tagBytes{};
        if (in.Read(tagBytes.data(), 2) != 2) {
            break;
        }
        std::uint16_t tag = Get16(tagBytes.data());
        const int bytes = CacheEntryPayloadBytes(tag);
        if (bytes < 0) {
            CurrentHost().showMessage(MessageIcon::None, "",
                                      "Incorrect cache file. Error code: " + std::to_string(tag));
            return;
        }
        if (tag == entry_tag::kEnd) {
            continue;
        }
        if (in.Read(payload.data(), static_cast<std::size_t>(bytes)) !=
            static_cast<std::size_t>(bytes)) {
            break;  // cut short: what was loaded so far stays
        }
        values.resize(static_cast<std::size_t>(bytes) / 4);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::uint8_t* b = payload.data() + 4 * i;
            values[i] = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                        (static_cast<std::uint32_t>(b[2]) << 16) |
                        (static_cast<std::uint32_t>(b[3]) << 24);
        }
        switch (tag) {
            case entry_tag::kSameSequenceHeader:
                tag = entry_tag::kSequenceHeader;
                values = referenceHeader;
                break;
            case entry_tag::kSameSequenceExtension:
                tag = entry_tag::kSequenceExtension;
                values = referenceExtension;
                break;
            case entry_tag::kSequenceHeader:
                if (!haveHeader) {
                    referenceHeader = values;
                    haveHeader = true;
                }
                break;
            case entry_tag::kSequenceExtension:
                if (!haveExtension) {
                    referenceExtension = values;
                    haveExtension = true;
                }
                break;
            case entry_tag::kGOP: {
                const auto gop = HeaderFromValues<GOPHeader>(values);
                scan_.currentGOPNumber = gop.number;
                // The latest sequence header entry takes the number of the GOP after it.
                if (scan_.collect && latestSequenceHeader < scan_.entries.size()) {
                    auto& slot = scan_.entries[latestSequenceHeader].values;
                    auto header = HeaderFromValues<SequenceHeader>(slot);
                    header.number = gop.number;
                    const auto renumbered = HeaderValues(header);
                    slot.assign(renumbered.begin(), renumbered.end());
                }
                break;
            }
            case entry_tag::kPictureHeader: {
                const auto picture = HeaderFromValues<PictureHeader>(values);
                scan_.history.codingType[0] = picture.codingType;
                if (progress_ != nullptr) {
                    const auto position = static_cast<std::int64_t>(picture.displayPosition);
                    if (std::llabs(position - progress_->position()) > 100) {
                        const std::int64_t bar =
                            mostly + RoundEven(0.15L * static_cast<long double>(position));
                        if (bar <= progress_->maximum()) {
                            progress_->setPosition(bar);
                        }
                    }
                }
                break;
            }
            case entry_tag::kPictureCodingExtension: {
                const auto extension = HeaderFromValues<PictureCodingExtension>(values);
                scan_.history.topFieldFirst[0] = extension.topFieldFirst;
                scan_.history.repeatFirstField[0] = extension.repeatFirstField;
                break;
            }
            default:
                break;
        }
        if (scan_.collect) {
            if (tag == entry_tag::kSequenceHeader) {
                latestSequenceHeader = scan_.entries.size();
            }
            AddEntry(tag, values);
        }
    }
}

}  // namespace varnix
