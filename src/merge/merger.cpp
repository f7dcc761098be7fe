#include "merge/merger.h"

#include <cctype>

#include "core/file_helpers.h"

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

void Merger::ResetMerger() {
    files_.clear();
    resultName_ = std::string(kMergerRootName);
    processEnabled_ = false;
}

void Merger::LendProgressBar(ProgressIndicator* bar) {
    progress_ = bar != nullptr ? bar : &ownProgress_;
}

void Merger::ReturnProgressBar() {
    progress_ = &ownProgress_;
}

void Merger::AddMergeFile(const std::string& fileName) {
    files_.push_back(MergeFileEntry{fileName, {"?????", "?????", MergeExtensionText(fileName)}});
    if (readiness_ == 2) {
        processEnabled_ = true;
    } else {
        readiness_ = 1;
    }
}

void Merger::SetResultName(const std::string& name) {
    if (name == kMergerRootName) {
        return;
    }
    resultName_ = name;
    if (readiness_ == 1 && !files_.empty()) {
        processEnabled_ = true;
    } else {
        readiness_ = 2;
    }
    if (ExtensionOf(name).empty() && !files_.empty()) {
        resultName_ += ExtensionOf(files_.front().fileName);
    }
}

std::vector<std::string> Merger::fileNames() const {
    std::vector<std::string> names;
    names.reserve(files_.size());
    for (const auto& entry : files_) {
        names.push_back(entry.fileName);
    }
    return names;
}

void Merger::beginWork(std::uint64_t totalSize) {
    busy_ = true;
    abort_ = 0;
    totalSize_ = totalSize;
    setControls(MergerControls::Working);
}

void Merger::endWork() {
    progress_->setMaximum(0);
    busy_ = false;
    progress_->setPosition(progress_->minimum());
    setControls(MergerControls::Idle);
}

void Merger::setControls(MergerControls controls) {
    controls_ = controls;
    if (controlsListener_) {
        controlsListener_(controls);
    }
}

}  // namespace varnix
