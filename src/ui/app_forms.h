#pragma once
// The program's windows, created at start-up in this order: the main window, the duration
// dialog, the merger object (never shown) and the About dialog.

#include <memory>

#include "ui/about_form.h"
#include "ui/duration_form.h"
#include "ui/main_window.h"
#include "ui/merger_form.h"
#include "ui/settings.h"

namespace varnix {

struct VarnixForms {
    // Members are destroyed in reverse order: the main window goes last.
    std::unique_ptr<TAC3Splitter> mainWindow;
    std::unique_ptr<TDurationForm> durationForm;
    std::unique_ptr<TAddToOneForm> mergerForm;
    std::unique_ptr<TSplitterAboutForm> aboutForm;
};

// Creates the four forms and introduces the others to the main window. Settings are kept in
// `storage`; the user's settings when it is null.
VarnixForms CreateForms(std::unique_ptr<SettingsStorage> storage = nullptr);

}  // namespace varnix
