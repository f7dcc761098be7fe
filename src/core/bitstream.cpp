#include "core/bitstream.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/host.h"
#include "core/start_code_search.h"

namespace varnix {

void TBitStream::SetBlock(std::span<const std::uint8_t> block, std::int64_t start) {
    data_ = block;
    blockStart_ = start;
    position_ = 0;
}

std::uint32_t TBitStream::GetBit() {
    if (endOfData_) {
        readPastEnd_ = true;
        return 0;
    }
    const std::uint32_t bit = (data_[position_] >> (bitsLeft_ - 1)) & 1u;
    if (--bitsLeft_ == 0) {
        bitsLeft_ = 8;
        StepByte();
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
            if (!endOfData_) {
                result |= data_[position_];
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

std::uint32_t TBitStream::PeekBits(int n) {
    if (endOfData_ || n <= 0) {
        return 0;
    }
    // Walks copies of the reader's state; past the block it continues in the bytes that follow
    // it, which stay unread.
    std::span<const std::uint8_t> bytes = data_;
    std::size_t pos = position_;
    int bits = bitsLeft_;
    std::array<std::uint8_t, 4> ahead{};
    bool inAhead = false;
    std::uint64_t result = 0;
    for (int i = 0; i < n; ++i) {
        if (pos == bytes.size()) {
            if (inAhead || PeekAfterBlock(ahead) != ahead.size()) {
                return 0;
            }
            bytes = ahead;
            pos = 0;
            inAhead = true;
        }
        result = result * 2 + ((bytes[pos] >> (bits - 1)) & 1u);
        if (--bits == 0) {
            bits = 8;
            ++pos;
        }
    }
    return static_cast<std::uint32_t>(result);
}

bool TBitStream::FindSync(std::uint32_t value, int width) {
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

bool TBitStream::NextStartCode() {
    while (bitsLeft_ != 8 && !endOfData_) {
        GetBit();
    }
    // Zero bytes consumed by this search just before the current block (only 0, 1 or 2+
    // matter): the prefix may straddle two blocks.
    unsigned zeros = 0;
    while (!endOfData_) {
        const std::span<const std::uint8_t> rest = data_.subspan(position_);
        const std::size_t hit = FindStartCodePrefix(rest, zeros);
        if (hit < rest.size()) {
            position_ += hit;
            StepByte();
            return true;
        }
        // No prefix ends in this block: remember its trailing zeros and move on.
        zeros = TrailingZeros(rest, zeros);
        position_ = data_.size() - 1;
        StepByte();
    }
    return false;
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
    if (!Fill()) {
        file_.close();
        CurrentHost().showMessage(MessageIcon::None, "",
                                  "Unable to read from file " + fileName + ".");
        throw EParserFileException("File error!");
    }
}

bool TFileBitStream::Fill() {
    // A read error stops the scan with the reason; only the end of the file ends the data.
    const std::size_t got = file_.readChecked(buffer_.data(), buffer_.size());
    ++fillCount_;
    if (got == 0) {
        return false;
    }
    SetBlock(std::span<const std::uint8_t>(buffer_.data(), got),
             (fillCount_ - 1) * static_cast<std::int64_t>(buffer_.size()));
    return true;
}

// A full buffer is followed by another fill; a short one was the last. At the end the position
// rests on the start of the buffer that the last fill tried.
bool TFileBitStream::NextBlock() {
    const bool full = Block().size() == buffer_.size();
    if (full && Fill()) {
        return true;
    }
    SetBlock(Block(),
             full ? (fillCount_ - 1) * static_cast<std::int64_t>(buffer_.size()) : BlockStart());
    return false;
}

// Reads ahead and puts the file position back, so that the next fill starts at the same place.
std::size_t TFileBitStream::PeekAfterBlock(std::array<std::uint8_t, 4>& ahead) {
    if (Block().size() != buffer_.size()) {
        return 0;
    }
    const std::int64_t here = file_.tell();
    const std::size_t got = file_.readChecked(ahead.data(), ahead.size());
    file_.seek(here);
    return got;
}

}  // namespace varnix
