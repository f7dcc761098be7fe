#pragma once
// Scanning streams built in memory: each is written to a fresh temporary file and scanned.

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/video_builders.h"
#include "video/m2v_stream.h"

namespace varnix::test {

struct ScanOptions {
    bool quick = false;
    bool cache = false;
    bool collect = true;
    bool collectAll = false;
};

struct ScanOutcome {
    M2VResults results;
    VideoInfo info;
    PictureHistory history;
    std::vector<HeaderEntry> entries;
    std::vector<std::string> messages;
    bool aborted = false;
};

inline ScanOutcome ScanFile(const std::string& file, const ScanOptions& options = {}) {
    TM2VStream stream(file);
    ScanOutcome outcome;
    stream.SetQuick(options.quick);
    stream.SetCache(options.cache);
    stream.SetMessageCallback([&](const std::string& text) { outcome.messages.push_back(text); });
    stream.Scan(options.collect, options.collectAll);
    outcome.results = stream.Results();
    outcome.info = stream.Info();
    outcome.history = stream.History();
    outcome.entries = stream.Entries();
    outcome.aborted = stream.Aborted();
    return outcome;
}

inline ScanOutcome ScanBytes(const Bytes& bytes, const ScanOptions& options = {}) {
    TempDir dir;
    return ScanFile(dir.write("stream.m2v", bytes), options);
}

// The tags of a table of entries, in order.
inline std::vector<int> TagsOf(const std::vector<HeaderEntry>& entries) {
    std::vector<int> tags;
    for (const auto& entry : entries) {
        tags.push_back(entry.tag);
    }
    return tags;
}

inline StreamLayout Mpeg2Layout() {
    StreamLayout layout;
    layout.extension = SequenceExtensionParams{};
    return layout;
}

inline StreamLayout NtscLayout() {
    StreamLayout layout = Mpeg2Layout();
    layout.sequence.height = 480;
    layout.sequence.frameRateCode = 4;
    layout.framesPerSecond = 30;
    return layout;
}

}  // namespace varnix::test
