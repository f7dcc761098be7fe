#include "core/bitstream.h"

#include <array>

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

std::int64_t TFileBitStream::Position() const {
    return (fillCount_ - 1) * static_cast<std::int64_t>(buffer_.size()) +
           static_cast<std::int64_t>(position_);
}

}  // namespace varnix
