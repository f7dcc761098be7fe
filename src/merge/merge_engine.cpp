#include "merge/merge_engine.h"

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "core/range_copy.h"
#include "formats/byte_source.h"
#include "formats/detect.h"
#include "formats/wav.h"

namespace varnix {

std::string OutputIsInputText(const std::string& fileName) {
    return "File " + fileName + " is one of the files to process and can not be written over.";
}

std::string MergeResultName(const std::string& name, const std::string& firstFile) {
    if (name == PlatformRoot() || !ExtensionOf(name).empty()) {
        return name;
    }
    return name + ExtensionOf(firstFile);
}

namespace {

void WriteResultHeader(const std::string& dest, const WAVHeader& format) {
    BinaryFile out(dest, BinaryFile::Mode::ReadWrite);
    const auto bytes = CanonicalWAVHeader(format, 0).toBytes();
    if (!out || out.write(bytes.data(), bytes.size()) != bytes.size()) {
        throw IoError("Unable to write to file " + dest + ".", dest);
    }
    out.close();
    if (out.failed()) {
        throw IoError("Unable to write to file " + dest + ".", dest);
    }
}

// The steps of a running merge, told to the caller whenever they change: from the start of the
// first file's copy on, and at the end.
class MergeSteps {
  public:
    MergeSteps(const std::function<void(const MergeProgress&)>& report, std::size_t files,
               std::uint64_t totalBytes)
        : report_(report), byBlocks_(totalBytes > kMergeBlockProgressThreshold) {
        current_.maximum = static_cast<std::int64_t>(
            files + (byBlocks_ ? totalBytes / kMergeBlockBytes : std::uint64_t{0}));
        current_.running = true;
    }

    // The blocks the current file has started once `copied` of its bytes are copied (0 before
    // its copy): one more step each when the merge counts blocks.
    void Copied(std::uint64_t copied) {
        const std::uint64_t started = copied / kMergeBlockBytes + 1;
        if (byBlocks_ && started > fileBlocks_) {
            current_.position += static_cast<std::int64_t>(started - fileBlocks_);
            fileBlocks_ = started;
        }
        Send();
    }

    // `done` files are appended; otherwise the merge counts files.
    void FileDone(std::size_t done) {
        fileBlocks_ = 0;
        if (!byBlocks_) {
            current_.position = static_cast<std::int64_t>(done);
        }
        Send();
    }

    void End() {
        current_ = MergeProgress{};
        Send();
    }

  private:
    void Send() {
        if (report_ && current_ != sent_) {
            sent_ = current_;
            report_(current_);
        }
    }

    const std::function<void(const MergeProgress&)>& report_;
    const bool byBlocks_;
    MergeProgress current_;
    MergeProgress sent_;
    std::uint64_t fileBlocks_ = 0;
};

}  // namespace

void AppendMediaFile(const std::string& source, const std::string& dest, bool first,
                     const AbortFlag* abort,
                     const std::function<void(std::uint64_t copied)>& afterChunk,
                     FormatOptions formats) {
    if (!FileExists(source)) {
        throw IoError("Unable to open file " + source + " for reading: no such file.", source);
    }
    if (!FileExists(dest)) {
        throw IoError("Unable to open file " + dest + " for writing: no such file.", dest);
    }
    ByteRangeCopy copy;
    copy.source = source;
    copy.dest = dest;
    copy.append = true;
    copy.abort = abort;
    copy.afterChunk = afterChunk;
    if (DetectFormat(source, formats) == MediaKind::WAV) {
        // Only the sample data; the result carries one header, in the first file's format.
        // Whole sample frames only: a part frame (a recording cut off mid-sample) would shift
        // every sample of the files after it.
        FileSource input(source);
        const WAVLayout layout = ReadWAVLayoutOf(input);
        const std::uint64_t bpf = layout.header.bytesPerSampleFrame();
        copy.start = layout.dataStart;
        copy.count = !layout.dataFound ? 0
                     : bpf == 0        ? layout.dataSize
                                       : layout.dataSize / bpf * bpf;
        if (first) {
            WriteResultHeader(dest, layout.header);
        }
    }
    if (!IsAborted(abort)) {
        CopyByteRange(copy);
    }
    if (DetectFormat(dest, formats) == MediaKind::WAV && !FinishWAVHeader(dest)) {
        throw IoError("Unable to write to file " + dest + ".", dest);
    }
}

MergeOutcome MergeFiles(const MergeRequest& request) {
    Host& host = CurrentHost();
    const std::string& dest = request.resultName;
    const std::vector<std::string>& files = request.files;
    for (const auto& file : files) {
        if (SameFile(file, dest)) {
            host.showMessage(MessageIcon::Error, kErrorTitle, OutputIsInputText(dest));
            return {};
        }
    }
    if (!FolderExists(dest)) {
        CreateFolderOfFile(dest);
    }
    if (FileExists(dest)) {
        if (!host.confirm(MessageIcon::Warning, kWarningTitle, "Overwrite file " + dest + " ?")) {
            return {MergeStatus::Refused, 0};
        }
        if (!DeleteFileIfExists(dest)) {
            // Appending to the old file would give a wrong result.
            host.showMessage(MessageIcon::Error, kErrorTitle, "Result file can not be created!");
            return {};
        }
    }
    CreateEmptyFile(dest);
    if (!FileExists(dest)) {
        host.showMessage(MessageIcon::Error, kErrorTitle,
                         dest.size() < 4
                             ? "Please, specify file name with full path for result file."
                             : "Result file can not be created!");
        return {};
    }

    std::uint64_t total = 0;
    for (const auto& file : files) {
        total += FileSizeOf(file);
    }
    MergeSteps steps(request.progress, files.size(), total);
    bool aborted = false;
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (request.appending) {
                request.appending(i);
            }
            steps.Copied(0);
            AppendMediaFile(
                files[i], dest, i == 0, request.abort,
                [&steps](std::uint64_t copied) { steps.Copied(copied); }, request.formats);
            steps.FileDone(i + 1);
            if (IsAborted(request.abort)) {
                aborted = true;
                break;
            }
        }
    } catch (const IoError& e) {
        steps.End();
        DeleteFileIfExists(dest);
        host.showMessage(MessageIcon::Error, kErrorTitle, e.what());
        return {};
    }
    steps.End();
    return {aborted ? MergeStatus::Aborted : MergeStatus::Merged, FileSizeOf(dest)};
}

}  // namespace varnix
