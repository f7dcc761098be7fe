#include "ui/app_forms.h"

namespace varnix {

VarnixForms CreateForms(std::unique_ptr<SettingsStorage> storage) {
    VarnixForms forms;
    forms.mainWindow = std::make_unique<TAC3Splitter>(std::move(storage));
    forms.durationForm = std::make_unique<TDurationForm>();
    forms.mergerForm = std::make_unique<TAddToOneForm>();
    forms.aboutForm = std::make_unique<TSplitterAboutForm>();
    forms.mainWindow->AttachForms(forms.durationForm.get(), forms.mergerForm.get(),
                                  forms.aboutForm.get());
    return forms;
}

}  // namespace varnix
