#pragma once
// The engine's only way to meet the user: message boxes and questions. Front ends install their
// own host; the default one is silent and refuses every question, so nothing is ever overwritten
// by default. Long work never turns the window's event loop itself: it calls the progress
// callback its caller gave, and the desktop program's callback lets the window handle its events.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace varnix {

enum class MessageIcon { None, Information, Warning, Error };

class Host {
  public:
    virtual ~Host() = default;
    // A message box with an OK button.
    virtual void showMessage(MessageIcon icon, const std::string& title, const std::string& text);
    // A question with OK and Cancel; true on OK.
    virtual bool confirm(MessageIcon icon, const std::string& title, const std::string& text);
};

// Titles of the messages: "Error!" for what went wrong, "Warning!" for questions before closing,
// aborting or overwriting and for what the user should know.
inline constexpr const char* kErrorTitle = "Error!";
inline constexpr const char* kWarningTitle = "Warning!";

// The host in use; the silent default when none was installed.
Host& CurrentHost();
// Installs a host (nullptr restores the silent default). The caller keeps ownership.
void SetHost(Host* host);

// Set from outside (the Cancel button) to stop a running scan, cut or merge.
using AbortFlag = std::atomic<std::uint8_t>;
// Called with an absolute byte position after every block of a long copy.
using ProgressCallback = std::function<void(std::uint64_t position)>;

inline bool IsAborted(const AbortFlag* flag) {
    return flag != nullptr && flag->load() != 0;
}

}  // namespace varnix
