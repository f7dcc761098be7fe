#include "core/file.h"

#include <utility>

namespace varnix {

std::filesystem::path PathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        close();
        stream_ = std::exchange(other.stream_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

bool BinaryFile::open(const std::string& name, Mode mode) {
    close();
    failed_ = false;
    if (name.empty()) {
        return false;
    }
    const char* how = mode == Mode::Read ? "rb" : (mode == Mode::Create ? "w+b" : "r+b");
#ifdef _WIN32
    const wchar_t* whow = mode == Mode::Read ? L"rb" : (mode == Mode::Create ? L"w+b" : L"r+b");
    stream_ = _wfopen(PathOf(name).c_str(), whow);
    (void)how;
#else
    stream_ = std::fopen(name.c_str(), how);
#endif
    if (stream_ != nullptr && mode == Mode::Read) {
        // Refuse folders: fopen opens them on some systems, and every read then fails.
        std::error_code ec;
        if (std::filesystem::is_directory(PathOf(name), ec)) {
            close();
        }
    }
    return stream_ != nullptr;
}

void BinaryFile::close() {
    if (stream_ != nullptr) {
        if (std::fclose(stream_) != 0) {
            failed_ = true;
        }
        stream_ = nullptr;
    }
}

std::size_t BinaryFile::read(void* buffer, std::size_t count) {
    if (stream_ == nullptr || count == 0) {
        return 0;
    }
    return std::fread(buffer, 1, count, stream_);
}

std::size_t BinaryFile::write(const void* buffer, std::size_t count) {
    if (stream_ == nullptr || count == 0) {
        return 0;
    }
    const std::size_t written = std::fwrite(buffer, 1, count, stream_);
    if (written != count) {
        failed_ = true;
    }
    return written;
}

namespace {

int Seek64(std::FILE* stream, std::int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(stream, offset, origin);
#else
    return fseeko(stream, static_cast<off_t>(offset), origin);
#endif
}

std::int64_t Tell64(std::FILE* stream) {
#ifdef _WIN32
    return _ftelli64(stream);
#else
    return static_cast<std::int64_t>(ftello(stream));
#endif
}

}  // namespace

bool BinaryFile::seek(std::int64_t offset) {
    return stream_ != nullptr && offset >= 0 && Seek64(stream_, offset, SEEK_SET) == 0;
}

bool BinaryFile::seekRelative(std::int64_t offset) {
    if (stream_ == nullptr) {
        return false;
    }
    const std::int64_t here = Tell64(stream_);
    return here >= 0 && here + offset >= 0 && Seek64(stream_, offset, SEEK_CUR) == 0;
}

bool BinaryFile::seekEnd() {
    return stream_ != nullptr && Seek64(stream_, 0, SEEK_END) == 0;
}

std::int64_t BinaryFile::tell() const {
    return stream_ != nullptr ? Tell64(stream_) : -1;
}

std::int64_t BinaryFile::size() const {
    if (stream_ == nullptr) {
        return -1;
    }
    const std::int64_t here = Tell64(stream_);
    if (here < 0 || Seek64(stream_, 0, SEEK_END) != 0) {
        return -1;
    }
    const std::int64_t end = Tell64(stream_);
    Seek64(stream_, here, SEEK_SET);
    return end;
}

bool BinaryFile::flush() {
    if (stream_ == nullptr) {
        return false;
    }
    if (std::fflush(stream_) != 0) {
        failed_ = true;
        return false;
    }
    return true;
}

}  // namespace varnix
