#pragma once
// The ".vnf" info cache beside a video file: the 443-byte VideoInfo record followed by one
// tagged entry per header of the stream (a 16-bit little-endian tag, then the header's values
// as 32-bit little-endian numbers). The file is written under a temporary name and only takes
// the cache's name once it is complete, so no reader ever meets a half-written cache.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "video/video_info.h"
#include "video/vob_file.h"

namespace varnix {

// The first 443 bytes of a file as a record; none when it cannot be read or is shorter.
std::optional<VideoInfo> ReadVideoInfoFile(const std::string& fileName);

// A cache belongs to its video only while the magic is right and the stored file time and
// file-size field still match the video: a touched or re-encoded video is scanned again.
bool CacheMatchesVideo(const VideoInfo& cached, std::uint64_t videoFileTime,
                       std::uint64_t videoFileSize);

// The payload size of an entry of the cache file, or -1 for a tag the cache does not hold.
int CacheEntryPayloadBytes(std::uint16_t tag);

class InfoCacheWriter {
  public:
    explicit InfoCacheWriter(std::string cacheName);
    // Removes the temporary file unless the cache was committed.
    ~InfoCacheWriter();
    InfoCacheWriter(const InfoCacheWriter&) = delete;
    InfoCacheWriter& operator=(const InfoCacheWriter&) = delete;

    // Creates the temporary file and writes the provisional header; false when the folder
    // does not allow it (the scan then goes on without a cache).
    bool Begin(const VideoInfo& provisional);
    // True while entries can be written.
    bool IsOpen() const { return stream_ != nullptr; }
    void WriteEntry(std::uint16_t tag, std::span<const std::uint32_t> values);
    // Closes the entries; false when anything could not be written.
    bool EndEntries();
    // Writes a record over the first 443 bytes of the (closed) file.
    bool RewriteHeader(const VideoInfo& record);
    // The file being written, from which the entries can be loaded back.
    const std::string& WorkingName() const { return workingName_; }
    // Moves the complete file to the cache's name.
    bool Commit();
    // Closes and deletes the temporary file.
    void Discard();

  private:
    std::string cacheName_;
    std::string workingName_;
    std::unique_ptr<TVobFileStream> stream_;
    bool begun_ = false;
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace varnix
