#include "ui/app_forms.h"

namespace varnix {

VarnixForms CreateForms(std::unique_ptr<SettingsStorage> storage) {
    VarnixForms forms;
    forms.AC3Splitter = std::make_unique<TAC3Splitter>(std::move(storage));
    forms.DurationForm = std::make_unique<TDurationForm>();
    forms.AddToOneForm = std::make_unique<TAddToOneForm>();
    forms.SplitterAboutForm = std::make_unique<TSplitterAboutForm>();
    forms.AC3Splitter->AttachForms(forms.DurationForm.get(), forms.AddToOneForm.get(),
                                   forms.SplitterAboutForm.get());
    return forms;
}

}  // namespace varnix
