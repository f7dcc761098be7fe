#include "formats/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/errors.h"

namespace varnix {

std::size_t SpanSource::readAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset >= bytes_.size()) {
        return 0;
    }
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), bytes_.size() - offset));
    std::memcpy(into.data(), bytes_.data() + offset, n);
    return n;
}

FileSource::FileSource(const std::string& fileName) {
    if (owned_.open(fileName, BinaryFile::Mode::Read)) {
        file_ = &owned_;
        const std::int64_t size = owned_.size();
        size_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
}

FileSource::FileSource(BinaryFile& openFile) {
    if (openFile.isOpen()) {
        file_ = &openFile;
        const std::int64_t size = openFile.size();
        size_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
}

std::size_t FileSource::readAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (!isOpen() || offset >= size_ || into.empty()) {
        return 0;
    }
    if (!file_->seek(static_cast<std::int64_t>(offset))) {
        throw ReadError(file_->name(), errno != 0 ? errno : EIO);
    }
    return file_->readChecked(into.data(), into.size());
}

ByteWindow::ByteWindow(ByteSource& source, std::size_t capacity)
    : source_(source), buffer_(std::max<std::size_t>(capacity, 64 * 1024)) {}

std::span<const std::uint8_t> ByteWindow::peek(std::uint64_t offset, std::size_t n) {
    n = std::min(n, buffer_.size());
    // Inside when the block holds all n bytes, or holds everything up to the end of the source.
    const bool reachesEnd = start_ + valid_ >= source_.size();
    const bool inside =
        fills_ > 0 && offset >= start_ &&
        (offset - start_ + n <= valid_ || (reachesEnd && offset - start_ <= valid_));
    if (!inside) {
        start_ = offset;
        valid_ = source_.readAt(offset, buffer_);
        ++fills_;
    }
    const std::size_t from = static_cast<std::size_t>(offset - start_);
    const std::size_t available = from <= valid_ ? valid_ - from : 0;
    return {buffer_.data() + from, std::min(n, available)};
}

std::vector<std::uint8_t> ReadFileHead(const std::string& fileName, std::size_t count) {
    return ReadFileBytes(fileName, 0, count);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName, std::uint64_t offset,
                                        std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    FileSource source(fileName);
    try {
        bytes.resize(source.readAt(offset, bytes));
    } catch (const IoError&) {
        bytes.clear();  // a query: an unreadable file gives nothing, as one that cannot be opened
    }
    return bytes;
}

}  // namespace varnix
