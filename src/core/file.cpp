#include "core/file.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "core/errors.h"

namespace varnix {

std::filesystem::path PathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

IoError ReadError(const std::string& fileName, int error) {
    return IoError("Unable to read from file " + fileName + ": " +
                       std::generic_category().message(error) + ".",
                   fileName);
}

namespace {

// The faults that tests inject. Empty outside tests; `active` spares every open the lock then.
struct InjectedFaults {
    struct Entry {
        std::uint64_t id;
        std::string fileName;
        ReadFault fault;
    };
    std::mutex mutex;
    std::vector<Entry> entries;
    std::uint64_t nextId = 1;
    std::atomic<bool> active{false};
};

InjectedFaults& Faults() {
    static InjectedFaults faults;
    return faults;
}

ReadFault FaultOf(const std::string& name) {
    InjectedFaults& faults = Faults();
    if (!faults.active.load(std::memory_order_acquire)) {
        return {};
    }
    const std::lock_guard<std::mutex> lock(faults.mutex);
    for (const auto& entry : faults.entries) {
        std::error_code ec;
        if (entry.fileName == name ||
            std::filesystem::equivalent(PathOf(entry.fileName), PathOf(name), ec)) {
            return entry.fault;
        }
    }
    return {};
}

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

InjectedReadFault::InjectedReadFault(const std::string& fileName, std::uint64_t offset,
                                     std::uint64_t length, int error) {
    InjectedFaults& faults = Faults();
    const std::lock_guard<std::mutex> lock(faults.mutex);
    id_ = faults.nextId++;
    faults.entries.push_back({id_, fileName, ReadFault{offset, length, error}});
    faults.active.store(true, std::memory_order_release);
}

InjectedReadFault::~InjectedReadFault() {
    InjectedFaults& faults = Faults();
    const std::lock_guard<std::mutex> lock(faults.mutex);
    std::erase_if(faults.entries, [this](const auto& entry) { return entry.id == id_; });
    faults.active.store(!faults.entries.empty(), std::memory_order_release);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      name_(std::move(other.name_)),
      failed_(other.failed_),
      readError_(other.readError_),
      fault_(other.fault_) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        close();
        stream_ = std::exchange(other.stream_, nullptr);
        name_ = std::move(other.name_);
        failed_ = other.failed_;
        readError_ = other.readError_;
        fault_ = other.fault_;
    }
    return *this;
}

bool BinaryFile::open(const std::string& name, Mode mode) {
    close();
    failed_ = false;
    readError_ = 0;
    name_ = name;
    fault_ = {};
    if (name.empty()) {
        return false;
    }
#ifdef _WIN32
    const wchar_t* how = mode == Mode::Read ? L"rb" : (mode == Mode::Create ? L"w+b" : L"r+b");
    stream_ = _wfopen(PathOf(name).c_str(), how);
#else
    const char* how = mode == Mode::Read ? "rb" : (mode == Mode::Create ? "w+b" : "r+b");
    stream_ = std::fopen(name.c_str(), how);
#endif
    if (stream_ != nullptr && mode == Mode::Read) {
        // Refuse folders: fopen opens them on some systems, and every read then fails.
        std::error_code ec;
        if (std::filesystem::is_directory(PathOf(name), ec)) {
            close();
        }
    }
    if (stream_ != nullptr) {
        fault_ = FaultOf(name);
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
    readError_ = 0;
    if (stream_ == nullptr || count == 0) {
        return 0;
    }
    std::size_t want = count;
    bool cutShort = false;  // the bytes asked for reach an injected fault
    if (fault_.length > 0) {
        const std::int64_t here = Tell64(stream_);
        if (here >= 0) {
            const auto position = static_cast<std::uint64_t>(here);
            const std::uint64_t readable = readableUntil(position) - position;
            if (readable < want) {
                want = static_cast<std::size_t>(readable);
                cutShort = true;
            }
        }
    }
    errno = 0;
    const std::size_t got = want > 0 ? std::fread(buffer, 1, want, stream_) : 0;
    if (got < want && std::ferror(stream_) != 0) {
        readError_ = errno != 0 ? errno : EIO;
        std::clearerr(stream_);
    } else if (cutShort && got == want) {
        readError_ = fault_.error;
    }
    return got;
}

std::size_t BinaryFile::readChecked(void* buffer, std::size_t count) {
    const std::size_t got = read(buffer, count);
    if (readError_ != 0) {
        throw ReadError(name_, readError_);
    }
    return got;
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

int BinaryFile::descriptor() const {
    if (stream_ == nullptr) {
        return -1;
    }
#ifdef _WIN32
    return _fileno(stream_);
#else
    return fileno(stream_);
#endif
}

std::uint64_t BinaryFile::readableUntil(std::uint64_t offset) const {
    if (fault_.length == 0) {
        return UINT64_MAX;
    }
    if (fault_.covers(offset)) {
        return offset;
    }
    return fault_.offset > offset ? fault_.offset : UINT64_MAX;
}

}  // namespace varnix
