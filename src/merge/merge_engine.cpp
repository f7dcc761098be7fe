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

}  // namespace

void AppendMediaFile(const std::string& source, const std::string& dest, bool first,
                     const AbortFlag* abort, const std::function<void()>& blockCallback,
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

    std::uint64_t blocks = 0;
    const auto blocksUpTo = [&](std::uint64_t copied) {
        for (const std::uint64_t due = copied / kMergeBlockBytes + 1; blocks < due; ++blocks) {
            if (blockCallback) {
                blockCallback();
            }
        }
    };
    blocksUpTo(0);
    if (!IsAborted(abort)) {
        CurrentHost().pumpEvents();
        copy.afterChunk = [&](std::uint64_t copied) {
            blocksUpTo(copied);
            CurrentHost().pumpEvents();
        };
        CopyByteRange(copy);
    }
    if (DetectFormat(dest, formats) == MediaKind::WAV && !FinishWAVHeader(dest)) {
        throw IoError("Unable to write to file " + dest + ".", dest);
    }
}

void MergeProgressStep(Merger& merger) {
    if (merger.totalSize() > kMergeBlockProgressThreshold) {
        ProgressIndicator& bar = merger.progress();
        bar.setPosition(bar.position() + 1);
    }
}

MergeOutcome Merge(Merger& merger, const MergeHighlight& highlight, AbortFlag* mainAbort,
                   FormatOptions formats) {
    Host& host = CurrentHost();
    const std::string dest = merger.resultName();
    const std::vector<std::string> files = merger.fileNames();
    for (const auto& file : files) {
        if (SameFile(file, dest)) {
            host.showMessage(MessageIcon::Error, kErrorTitle, OutputIsInputText(dest));
            return MergeOutcome::Failed;
        }
    }
    if (!FolderExists(dest)) {
        CreateFolderOfFile(dest);
    }
    if (FileExists(dest)) {
        if (!host.confirm(MessageIcon::Warning, kWarningTitle, "Overwrite file " + dest + " ?")) {
            if (mainAbort != nullptr) {
                *mainAbort = 1;
            }
            return MergeOutcome::Refused;
        }
        if (!DeleteFileIfExists(dest)) {
            // Appending to the old file would give a wrong result.
            host.showMessage(MessageIcon::Error, kErrorTitle, "Result file can not be created!");
            return MergeOutcome::Failed;
        }
    }
    CreateEmptyFile(dest);
    if (!FileExists(dest)) {
        host.showMessage(MessageIcon::Error, kErrorTitle,
                         dest.size() < 4
                             ? "Please, specify file name with full path for result file."
                             : "Result file can not be created!");
        return MergeOutcome::Failed;
    }

    std::uint64_t total = 0;
    for (const auto& file : files) {
        total += FileSizeOf(file);
    }
    merger.beginWork(total);
    ProgressIndicator& bar = merger.progress();
    const bool byBlocks = total > kMergeBlockProgressThreshold;
    bar.setMaximum(
        static_cast<std::int64_t>(files.size() + (byBlocks ? total / kMergeBlockBytes : 0)));
    bar.setMinimum(0);
    bar.setPosition(0);

    AbortFlag& abort = merger.abortFlag();
    const auto step = [&] {
        MergeProgressStep(merger);
        if (IsAborted(mainAbort)) {
            abort = 1;
        }
    };
    bool aborted = false;
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (highlight) {
                highlight(static_cast<int>(i));
            }
            AppendMediaFile(files[i], dest, i == 0, &abort, step, formats);
            if (!byBlocks) {
                bar.setPosition(static_cast<std::int64_t>(i + 1));
            }
            host.pumpEvents();
            if (IsAborted(&abort) || IsAborted(mainAbort)) {
                aborted = true;
                break;
            }
        }
    } catch (const IoError& e) {
        merger.endWork();
        DeleteFileIfExists(dest);
        host.showMessage(MessageIcon::Error, kErrorTitle, e.what());
        return MergeOutcome::Failed;
    }
    merger.endWork();
    return aborted ? MergeOutcome::Aborted : MergeOutcome::Merged;
}

}  // namespace varnix
