#pragma once
// A fresh folder per test, removed with everything in it when the test ends, and access to the
// committed test files (always through copies, so that no test changes an original).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace varnix::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Full name of a file in the folder (not created), as the engine takes names.
    std::string file(const std::string& name) const;
    // Writes bytes to a new file in the folder and returns its full name.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Copies a committed file of tests/data into the folder and returns the copy's name.
    std::string copyData(const std::string& dataName, const std::string& as = "") const;

  private:
    std::filesystem::path path_;
};

// Full name of a committed test file.
std::string DataPath(const std::string& dataName);
std::vector<std::uint8_t> ReadAll(const std::string& fileName);
void WriteAll(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

}  // namespace varnix::test
