#pragma once
// The one small exception hierarchy of the engine. Plain queries report failure by their return
// values; I/O failures inside long operations throw one of these, and the front ends catch
// VarnixError at their boundary.

#include <stdexcept>
#include <string>

namespace varnix {

class VarnixError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read, written or positioned.
class IoError : public VarnixError {
  public:
    IoError(const std::string& message, std::string fileName)
        : VarnixError(message), fileName_(std::move(fileName)) {}
    const std::string& fileName() const { return fileName_; }

  private:
    std::string fileName_;
};

// The buffered bit reader could not open or read its file ("File error!").
class EParserFileException : public VarnixError {
  public:
    explicit EParserFileException(const std::string& message = "File error!")
        : VarnixError(message) {}
};

// The video info cache could not be opened ("Error while opening file.").
class EVOBException : public VarnixError {
  public:
    explicit EVOBException(const std::string& message = "Error while opening file.")
        : VarnixError(message) {}
};

}  // namespace varnix
