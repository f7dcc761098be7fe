#include "video/vob_file.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/file_helpers.h"

namespace varnix {

TVobFileStream::TVobFileStream(const std::string& fileName, bool buffered, unsigned mode)
    : buffered_(buffered), writing_((mode & kModeWrite) != 0) {
    bool opened = false;
    if (writing_) {
        opened = FileExists(fileName) ? file_.open(fileName, BinaryFile::Mode::ReadWrite)
                                      : file_.open(fileName, BinaryFile::Mode::Create);
    } else {
        opened = file_.open(fileName, BinaryFile::Mode::Read);
    }
    if (!opened) {
        throw EVOBException("Error while opening file.");
    }
    if (buffered_) {
        buffer_.resize(kBufferSize);
    }
}

TVobFileStream::~TVobFileStream() {
    Close();
}

std::size_t TVobFileStream::Read(void* data, std::size_t count) {
    if (writing_ || !file_) {
        return 0;
    }
    if (!buffered_) {
        return file_.read(data, count);
    }
    auto* out = static_cast<std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < count) {
        if (begin_ == end_) {
            if (count - done >= buffer_.size()) {
                const std::size_t got = file_.read(out + done, count - done);
                return done + got;
            }
            begin_ = 0;
            end_ = file_.read(buffer_.data(), buffer_.size());
            if (end_ == 0) {
                break;
            }
        }
        const std::size_t take = std::min(count - done, end_ - begin_);
        std::memcpy(out + done, buffer_.data() + begin_, take);
        begin_ += take;
        done += take;
    }
    return done;
}

std::size_t TVobFileStream::Write(const void* data, std::size_t count) {
    if (!writing_ || !file_) {
        failed_ = true;
        return 0;
    }
    if (!buffered_) {
        const std::size_t written = file_.write(data, count);
        failed_ = failed_ || written != count;
        return written;
    }
    const auto* in = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < count) {
        if (end_ == buffer_.size() && !FlushBuffer()) {
            return done;
        }
        const std::size_t take = std::min(count - done, buffer_.size() - end_);
        std::memcpy(buffer_.data() + end_, in + done, take);
        end_ += take;
        done += take;
    }
    return done;
}

bool TVobFileStream::FlushBuffer() {
    if (end_ > 0) {
        const std::size_t written = file_.write(buffer_.data(), end_);
        failed_ = failed_ || written != end_;
        end_ = 0;
    }
    return !failed_;
}

bool TVobFileStream::Close() {
    if (file_) {
        if (writing_ && buffered_) {
            FlushBuffer();
        }
        file_.close();
        failed_ = failed_ || file_.failed();
    }
    return !failed_;
}

}  // namespace varnix
