#pragma once
// A host for tests: records every message and question and answers questions from a script.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"

namespace varnix::test {

struct RecordedMessage {
    MessageIcon icon;
    std::string title;
    std::string text;
    bool question;
};

class RecordingHost : public Host {
  public:
    RecordingHost() : previous_(&CurrentHost()) { SetHost(this); }
    ~RecordingHost() override { SetHost(previous_); }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        messages.push_back({icon, title, text, false});
    }
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override {
        messages.push_back({icon, title, text, true});
        if (answers.empty()) {
            return defaultAnswer;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Texts of all messages and questions, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const auto& m : messages) {
            all.push_back(m.text);
        }
        return all;
    }

    std::vector<RecordedMessage> messages;
    std::deque<bool> answers;    // answers to the next questions, in order
    bool defaultAnswer = false;  // when the script has run out

  private:
    Host* previous_;
};

}  // namespace varnix::test
