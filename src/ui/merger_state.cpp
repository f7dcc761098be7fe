#include "ui/merger_state.h"

#include <cctype>

#include "merge/merge_engine.h"

namespace varnix {

std::string MergeExtensionText(const std::string& fileName) {
    std::string ext = ExtensionOf(fileName);
    for (char& c : ext) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (ext.size() == 4) {
        ext.erase(0, 1);
    }
    return ext;
}

void MergerState::ResetMerger() {
    files_.clear();
    resultName_ = PlatformRoot();
    processEnabled_ = false;
}

void MergerState::AddMergeFile(const std::string& fileName) {
    files_.push_back(MergeFileEntry{fileName, {"?????", "?????", MergeExtensionText(fileName)}});
    if (readiness_ == 2) {
        processEnabled_ = true;
    } else {
        readiness_ = 1;
    }
}

void MergerState::SetResultName(const std::string& name) {
    if (name == PlatformRoot()) {
        return;
    }
    if (readiness_ == 1 && !files_.empty()) {
        processEnabled_ = true;
    } else {
        readiness_ = 2;
    }
    resultName_ = files_.empty() ? name : MergeResultName(name, files_.front().fileName);
}

void MergerState::BeginWork() {
    abort_ = 0;
    controls_ = MergerControls::Working;
}

void MergerState::EndWork() {
    controls_ = MergerControls::Idle;
}

}  // namespace varnix
