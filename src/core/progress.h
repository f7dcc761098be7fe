#pragma once
// A progress display (minimum, maximum, position) that long operations drive: the window's
// progress bar in the desktop program, a line on standard error in the command-line program.

#include <cstdint>
#include <functional>

namespace varnix {

class ProgressIndicator {
  public:
    virtual ~ProgressIndicator() = default;
    virtual void setMinimum(std::int64_t value) = 0;
    virtual void setMaximum(std::int64_t value) = 0;
    virtual void setPosition(std::int64_t value) = 0;
    virtual std::int64_t minimum() const = 0;
    virtual std::int64_t maximum() const = 0;
    virtual std::int64_t position() const = 0;
};

// A progress display that only remembers its values; a base for the front ends' displays.
class ProgressState : public ProgressIndicator {
  public:
    void setMinimum(std::int64_t value) override { minimum_ = value; }
    void setMaximum(std::int64_t value) override { maximum_ = value; }
    void setPosition(std::int64_t value) override { position_ = value; }
    std::int64_t minimum() const override { return minimum_; }
    std::int64_t maximum() const override { return maximum_; }
    std::int64_t position() const override { return position_; }

  private:
    std::int64_t minimum_ = 0;
    std::int64_t maximum_ = 100;
    std::int64_t position_ = 0;
};

// Called now and then by long work that has no byte position to report (every few GOPs of a video
// scan, every few hundred frames of a walk), so that the caller can keep its window responsive.
using IdleCallback = std::function<void()>;

}  // namespace varnix
