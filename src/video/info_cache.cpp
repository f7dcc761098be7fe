#include "video/info_cache.h"

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

}  // namespace

bool ReadVideoInfoFile(const std::string& fileName, VideoInfo& info) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return false;
    }
    std::array<std::uint8_t, kVideoInfoSize> bytes{};
    if (file.read(bytes.data(), bytes.size()) != bytes.size()) {
        return false;
    }
    return info.FromBytes(bytes);
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
        case entry_tag::kSequenceExtension:
        case entry_tag::kPictureHeader:
            return 52;
        case entry_tag::kSequenceDisplayExtension:
            return 36;
        case entry_tag::kGOP:
            return 40;
        case entry_tag::kPictureCodingExtension:
            return 80;
        case entry_tag::kSequenceEnd:
            return 4;
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
    std::array<std::uint8_t, 2 + 4 * 20> bytes{};
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
    const std::int32_t whole = WholeFrameRateOfCode(r_.frameRateCode);
    v.startTime = r_.startTime;
    v.duration = FramesToTimeCode(r_.frames, whole);
    v.longestGOP = r_.longestGOP;
    v.wholeFrameRate = whole;
    v.aspectRatio = r_.aspectRatio;
    v.panScan = r_.panScan;
    v.variableBitRate = r_.variableBitRate;
    v.mpegVersion = r_.mpegVersion;
    v.line21Switch1 = r_.line21Switch1;
    v.line21Switch2 = r_.line21Switch2;
    v.frameRateCode = r_.frameRateCode;
    v.frames = r_.frames;
    v.width = r_.width;
    v.height = r_.height;
    v.bitRate = r_.bitRate;
    v.pictures = static_cast<std::uint32_t>(RoundEven(0.1 + r_.pictures));
    v.sequenceEnds = static_cast<std::uint32_t>(r_.sequenceEnds);
    v.lowestBitRate = static_cast<std::uint32_t>(r_.lowestBitRate);
    v.highestBitRate = static_cast<std::uint32_t>(r_.highestBitRate);
    v.averageBitRate =
        static_cast<std::uint32_t>(bitRatesConverted_ ? r_.averageBitRate : r_.bitRateSum);
    v.pullDown = r_.pullDown;
    v.fileBlocks = static_cast<std::uint32_t>(
        fileSize_ / static_cast<std::int64_t>(TFileBitStream::kScanBufferSize));
    v.fileTime = withFileTime ? reader_.FileTime() : 0;
    v.fields = static_cast<std::uint32_t>(r_.fields);
    v.codedPictures = static_cast<std::uint32_t>(RoundEven(r_.pictures));
    v.displayWidth = r_.displayWidth;
    v.displayHeight = r_.displayHeight;
    return v;
}

void TM2VStream::ApplyRecord(const VideoInfo& v) {
    r_.longestGOP = v.longestGOP;
    r_.aspectRatio = v.aspectRatio;
    r_.panScan = v.panScan;
    r_.mpegVersion = v.mpegVersion;
    r_.line21Switch1 = v.line21Switch1;
    r_.line21Switch2 = v.line21Switch2;
    r_.startTime = v.startTime;
    r_.variableBitRate = v.variableBitRate;
    r_.frameRateCode = v.frameRateCode;
    r_.frames = v.frames;
    r_.height = v.height;
    r_.width = v.width;
    r_.bitRate = v.bitRate;
    r_.pictures = v.pictures;
    r_.sequenceEnds = v.sequenceEnds;
    r_.lowestBitRate = v.lowestBitRate;
    r_.highestBitRate = v.highestBitRate;
    r_.bitRateSum = v.averageBitRate;
    r_.pullDown = v.pullDown;
    r_.fields = v.fields;
    r_.displayWidth = v.displayWidth;
    r_.displayHeight = v.displayHeight;
    if (v.displayWidth != 0 && v.displayHeight != 0) {
        displayExtensionSeen_ = true;
    }
}

bool TM2VStream::CacheIsValid() const {
    VideoInfo cached;
    return ReadVideoInfoFile(CacheFileName(), cached) &&
           CacheMatchesVideo(cached, reader_.FileTime(), static_cast<std::uint64_t>(fileSize_));
}

void TM2VStream::StartCacheFile() {
    auto writer = std::make_unique<InfoCacheWriter>(CacheFileName());
    if (writer->Begin(MakeRecord(false))) {
        cacheWriter_ = std::move(writer);
    }
}

// After a full scan the header gets the scan's values and the entries are read back from the
// file; without a cache file (a read-only folder) the same values come from memory.
void TM2VStream::FinishCacheAfterScan() {
    if (cacheWriter_ && cacheWriter_->EndEntries() &&
        cacheWriter_->RewriteHeader(MakeRecord(true))) {
        try {
            LoadBack(cacheWriter_->WorkingName(), false);
            return;
        } catch (const EVOBException&) {
            // The file vanished under us: fall back to the values in memory.
        }
    }
    cacheWriter_.reset();
    ApplyRecord(MakeRecord(true));
    SetLoadProgress(false);
}

void TM2VStream::SetLoadProgress(bool validCache) {
    if (progress_ == nullptr) {
        return;
    }
    const auto pictures = static_cast<std::int64_t>(r_.pictures);
    const std::int64_t mostly = RoundEven(0.85L * static_cast<long double>(r_.pictures));
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
    entries_.clear();
    TVobFileStream in(cacheFile, true, 0);
    std::array<std::uint8_t, kVideoInfoSize> head{};
    if (in.Read(head.data(), head.size()) != head.size()) {
        return;
    }
    VideoInfo record;
    record.FromBytes(head);
    ApplyRecord(record);
    SetLoadProgress(validCache);

    const std::int64_t mostly = RoundEven(0.85L * static_cast<long double>(r_.pictures));
    std::vector<std::uint32_t> referenceHeader(SequenceHeader::kValues, 0);
    std::vector<std::uint32_t> referenceExtension(SequenceExtension::kValues, 0);
    bool haveHeader = false;
    bool haveExtension = false;
    std::size_t latestSequenceHeader = SIZE_MAX;
    std::array<std::uint8_t, 80> payload{};
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
                const GOPHeader gop = GOPHeader::FromValues(values);
                currentGOPNumber_ = gop.number;
                // The latest sequence header entry takes the number of the GOP after it.
                if (collect_ && latestSequenceHeader < entries_.size()) {
                    auto& slot = entries_[latestSequenceHeader].values;
                    slot[11] = gop.number;
                    slot[12] = 0;
                }
                break;
            }
            case entry_tag::kPictureHeader: {
                const PictureHeader picture = PictureHeader::FromValues(values);
                history_.codingType[0] = picture.codingType;
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
                const PictureCodingExtension extension = PictureCodingExtension::FromValues(values);
                history_.topFieldFirst[0] = extension.topFieldFirst;
                history_.repeatFirstField[0] = extension.repeatFirstField;
                break;
            }
            default:
                break;
        }
        if (collect_) {
            if (tag == entry_tag::kSequenceHeader) {
                latestSequenceHeader = entries_.size();
            }
            AddEntry(tag, values);
        }
    }
}

}  // namespace varnix
