#include "formats/std_io_callback.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"

namespace varnix {

TStdIOCallback::TStdIOCallback(const std::string& fileName, int accessMode, std::size_t blockSize)
    : fileName_(fileName), block_(std::max<std::size_t>(blockSize, 64 * 1024)) {
    const BinaryFile::Mode mode = accessMode == kWrite       ? BinaryFile::Mode::Create
                                  : accessMode == kReadWrite ? BinaryFile::Mode::ReadWrite
                                                             : BinaryFile::Mode::Read;
    if (!file_.open(fileName, mode)) {
        throw IoError("Unable to open file " + fileName + ".", fileName);
    }
}

TStdIOCallback::~TStdIOCallback() = default;

void TStdIOCallback::close() {
    file_.close();
    valid_ = cursor_ = 0;
}

bool TStdIOCallback::fill() {
    blockStart_ += static_cast<std::int64_t>(cursor_);
    cursor_ = 0;
    valid_ = 0;
    if (!file_.isOpen()) {
        return false;
    }
    if (!file_.seek(blockStart_)) {
        throw IoError("Failed to seek file.", fileName_);
    }
    // A read error ends the walk with an error, never as if the file had ended there.
    valid_ = file_.readChecked(block_.data(), block_.size());
    return valid_ > 0;
}

std::optional<std::uint8_t> TStdIOCallback::readByteSlow() {
    if (!fill()) {
        return std::nullopt;
    }
    return block_[cursor_++];
}

std::size_t TStdIOCallback::read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (cursor_ >= valid_ && !fill()) {
            break;
        }
        const std::size_t n = std::min(count - done, valid_ - cursor_);
        std::memcpy(out + done, block_.data() + cursor_, n);
        cursor_ += n;
        done += n;
    }
    return done;
}

std::size_t TStdIOCallback::write(const void* buffer, std::size_t count) {
    // Writing goes straight to the file at the current position; the block is dropped.
    blockStart_ += static_cast<std::int64_t>(cursor_);
    cursor_ = valid_ = 0;
    if (!file_.seek(blockStart_)) {
        return 0;
    }
    const std::size_t written = file_.write(buffer, count);
    blockStart_ += static_cast<std::int64_t>(written);
    return written;
}

std::int64_t TStdIOCallback::tell() {
    if (!file_.isOpen()) {
        throw IoError("Can not tell the current file pointer position.", fileName_);
    }
    return blockStart_ + static_cast<std::int64_t>(cursor_);
}

void TStdIOCallback::seek(int origin, std::int64_t offset) {
    std::int64_t target = 0;
    if (origin == 0) {
        target = offset;
    } else if (origin == 1) {
        target = tell() + offset;
    } else {
        return;
    }
    if (!file_.isOpen() || target < 0 || (target == 0 && offset != 0)) {
        throw IoError("Failed to seek file.", fileName_);
    }
    // Inside the block (or just past its end) only the cursor moves.
    if (target >= blockStart_ && target <= blockStart_ + static_cast<std::int64_t>(valid_)) {
        cursor_ = static_cast<std::size_t>(target - blockStart_);
        return;
    }
    blockStart_ = target;
    cursor_ = valid_ = 0;
}

}  // namespace varnix
