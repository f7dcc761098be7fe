#include "video/scan_source.h"

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "core/host.h"
#include "formats/container_probe.h"
#include "video/demux_bit_stream.h"

namespace varnix {

namespace {

class ElementaryScanSource : public ScanSource {
  public:
    explicit ElementaryScanSource(const std::string& fileName)
        : reader_(fileName, TFileBitStream::kScanBufferSize) {}
    TBitStream& Bits() override { return reader_; }
    std::int64_t FileSize() const override { return reader_.FileSize(); }
    std::uint64_t FileTime() const override { return reader_.FileTime(); }
    std::int64_t BlocksRead() const override { return reader_.FillCount(); }
    std::int64_t FilePosition(std::int64_t streamPosition) const override { return streamPosition; }

  private:
    TFileBitStream reader_;
};

class DemuxScanSource : public ScanSource {
  public:
    DemuxScanSource(const std::string& fileName, const ContainerInfo& container)
        : reader_(fileName, container),
          container_(container.Description()),
          fileSize_(static_cast<std::int64_t>(FileSizeOf(fileName))),
          fileTime_(FileTimeOf(fileName)) {}
    bool HasData() const { return reader_.HasData(); }
    TBitStream& Bits() override { return reader_; }
    std::int64_t FileSize() const override { return fileSize_; }
    std::uint64_t FileTime() const override { return fileTime_; }
    std::int64_t BlocksRead() const override {
        return reader_.FileBytesRead() / static_cast<std::int64_t>(TFileBitStream::kScanBufferSize);
    }
    std::int64_t FilePosition(std::int64_t streamPosition) const override {
        return reader_.FilePositionOf(streamPosition);
    }
    std::vector<std::string> TakeNotes() override { return reader_.TakeNotes(); }
    std::string Container() const override { return container_; }
    bool StartsAnywhere() const override { return true; }

  private:
    TDemuxBitStream reader_;
    std::string container_;
    std::int64_t fileSize_;
    std::uint64_t fileTime_;
};

}  // namespace

std::unique_ptr<ScanSource> OpenScanSource(const std::string& fileName) {
    const ContainerInfo container = ProbeContainerFile(fileName);
    if (container.kind == ContainerKind::None || !container.mpegVideo) {
        // Read as it is, as every file that no demuxer takes: system start codes are noted as
        // unformatted data and the video is parsed as far as its start codes allow.
        return std::make_unique<ElementaryScanSource>(fileName);
    }
    if (!BinaryFile(fileName, BinaryFile::Mode::Read).isOpen()) {
        CurrentHost().showMessage(MessageIcon::None, "",
                                  "Unable to open file " + fileName + " for reading.");
        throw EParserFileException("File error!");
    }
    auto source = std::make_unique<DemuxScanSource>(fileName, container);
    if (!source->HasData()) {
        CurrentHost().showMessage(
            MessageIcon::None, "",
            "No MPEG video in file " + fileName + ": " +
                (container.problem.empty() ? std::string("no video data") : container.problem) +
                ".");
        throw EParserFileException("File error!");
    }
    return source;
}

}  // namespace varnix
