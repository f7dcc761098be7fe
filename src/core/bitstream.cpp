#include "core/bitstream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/host.h"

namespace varnix {

std::uint32_t TBitStream::GetBit() {
    if (position_ >= data_.size()) {
        return 0;
    }
    const std::uint32_t bit = (data_[position_] >> (bitsLeft_ - 1)) & 1u;
    if (--bitsLeft_ == 0) {
        bitsLeft_ = 8;
        ++position_;
    }
    return bit;
}

std::uint32_t TBitStream::GetBits(int n) {
    if (n <= 0) {
        return 0;
    }
    std::uint64_t result = 0;
    if (bitsLeft_ == 8 && n % 8 == 0) {
        for (int i = 0; i < n / 8; ++i) {
            result <<= 8;
            if (position_ < data_.size()) {
                result |= data_[position_++];
            }
        }
        return static_cast<std::uint32_t>(result);
    }
    for (int i = 0; i < n; ++i) {
        result = result * 2 + GetBit();
    }
    return static_cast<std::uint32_t>(result);
}

TFileBitStream::TFileBitStream(const std::string& fileName, std::size_t bufferSize)
    : buffer_(bufferSize == 0 ? 1 : bufferSize) {
    if (!file_.open(fileName, BinaryFile::Mode::Read)) {
        CurrentHost().showMessage(MessageIcon::None, "",
                                  "Unable to open file " + fileName + " for reading.");
        throw EParserFileException("File error!");
    }
    fileSize_ = file_.size();
    fileTime_ = FileTimeOf(fileName);
    Fill();
    if (endOfData_) {
        file_.close();
        CurrentHost().showMessage(MessageIcon::None, "",
                                  "Unable to read from file " + fileName + ".");
        throw EParserFileException("File error!");
    }
}

void TFileBitStream::Fill() {
    const std::size_t got = file_.read(buffer_.data(), buffer_.size());
    ++fillCount_;
    if (got > 0) {
        validBytes_ = got;
    } else {
        endOfData_ = true;
    }
}

// Moves to the next byte: a new fill after a full buffer, the end of the data otherwise.
void TFileBitStream::StepByte() {
    ++position_;
    if (position_ == validBytes_) {
        if (validBytes_ == buffer_.size()) {
            Fill();
        } else {
            endOfData_ = true;
        }
        position_ = 0;
    }
}

std::uint32_t TFileBitStream::GetBit() {
    if (endOfData_) {
        readPastEnd_ = true;
        return 0;
    }
    const std::uint32_t bit = (buffer_[position_] >> (bitsLeft_ - 1)) & 1u;
    if (--bitsLeft_ == 0) {
        bitsLeft_ = 8;
        StepByte();
    }
    return bit;
}

std::uint32_t TFileBitStream::GetBits(int n) {
    if (n <= 0) {
        return 0;
    }
    std::uint64_t result = 0;
    if (bitsLeft_ == 8 && n % 8 == 0) {
        for (int i = 0; i < n / 8; ++i) {
            result <<= 8;
            if (!endOfData_) {
                result |= buffer_[position_];
                StepByte();
            } else {
                readPastEnd_ = true;
            }
        }
        return static_cast<std::uint32_t>(result);
    }
    for (int i = 0; i < n; ++i) {
        result = result * 2 + GetBit();
    }
    return static_cast<std::uint32_t>(result);
}

std::uint32_t TFileBitStream::PeekBits(int n) {
    if (endOfData_ || n <= 0) {
        return 0;
    }
    // Walk copies of the reader's state; past a full buffer continue in four bytes read ahead
    // from the file, whose position is then restored for the next real fill.
    const std::uint8_t* bytes = buffer_.data();
    std::size_t available = validBytes_;
    std::size_t pos = position_;
    int bits = bitsLeft_;
    std::array<std::uint8_t, 4> ahead{};
    bool inAhead = false;
    bool outOfData = false;
    std::uint64_t result = 0;
    for (int i = 0; i < n; ++i) {
        if (pos == available) {
            if (inAhead || available != buffer_.size()) {
                outOfData = true;
                break;
            }
            const std::int64_t here = file_.tell();
            const std::size_t got = file_.read(ahead.data(), ahead.size());
            file_.seek(here);
            if (got != ahead.size()) {
                outOfData = true;
                break;
            }
            bytes = ahead.data();
            available = ahead.size();
            pos = 0;
            inAhead = true;
        }
        result = result * 2 + ((bytes[pos] >> (bits - 1)) & 1u);
        if (--bits == 0) {
            bits = 8;
            ++pos;
        }
    }
    return outOfData ? 0 : static_cast<std::uint32_t>(result);
}

bool TFileBitStream::FindSync(std::uint32_t value, int width) {
    const std::uint64_t mask = width >= 32 ? 0xFFFFFFFFull : ((1ull << width) - 1);
    while (bitsLeft_ != 8 && !endOfData_) {
        GetBit();
    }
    std::uint32_t acc = GetBits(width);
    while ((acc & mask) != value) {
        if (endOfData_) {
            return false;
        }
        acc = (acc << 8) | GetBits(8);
    }
    return true;
}

bool TFileBitStream::NextStartCode() {
    while (bitsLeft_ != 8 && !endOfData_) {
        GetBit();
    }
    // Zero bytes consumed just before the current position (only 0, 1 or 2+ matter); the
    // prefix may straddle two buffers.
    int zeros = 0;
    while (!endOfData_) {
        const std::uint8_t* data = buffer_.data();
        const std::size_t start = position_;
        const std::size_t end = validBytes_;
        std::size_t from = start;
        while (from < end) {
            const void* hit = std::memchr(data + from, 0x01, end - from);
            if (hit == nullptr) {
                break;
            }
            const std::size_t i =
                static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
            const std::size_t before = i - start;  // bytes of this buffer before the 01
            bool prefix = false;
            if (before >= 2) {
                prefix = data[i - 1] == 0 && data[i - 2] == 0;
            } else if (before == 1) {
                prefix = data[i - 1] == 0 && zeros >= 1;
            } else {
                prefix = zeros >= 2;
            }
            if (prefix) {
                position_ = i;
                StepByte();
                return true;
            }
            from = i + 1;
        }
        // No prefix ends in this buffer: remember its trailing zeros and move on.
        std::size_t trailing = 0;
        while (trailing < 2 && trailing < end - start && data[end - 1 - trailing] == 0) {
            ++trailing;
        }
        zeros = trailing == end - start ? std::min(2, zeros + static_cast<int>(trailing))
                                        : static_cast<int>(trailing);
        position_ = end - 1;
        StepByte();
    }
    return false;
}

std::int64_t TFileBitStream::Position() const {
    return (fillCount_ - 1) * static_cast<std::int64_t>(buffer_.size()) +
           static_cast<std::int64_t>(position_);
}

}  // namespace varnix
