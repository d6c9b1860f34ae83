#pragma once
// A user port that records what the commands asked of the platform and answers dialogs from queues:
// the test double of the tests and benchmarks that drive workbench commands without a window.

#include "base/UserPort.h"

#include <deque>
#include <string>
#include <vector>

namespace tessaly {

class RecordingUserPort : public UserPort {
public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::vector<std::string> formsShown;
    std::vector<std::string> browserTargets;
    std::vector<std::string> savedImages;
    std::string plotTitle;
    int plotRepaints = 0;
    int resultUpdates = 0;
    int busyDepth = 0;
    double clock = 0;                                    // seconds returned by clockSeconds()
    double clockStep = 0;                                // added after each clockSeconds() call
    std::deque<std::optional<std::string>> fileAnswers;  // next open/save dialog answers
    std::deque<std::optional<std::string>> inputAnswers; // next input box answers
    bool imageResult = true;

    void showMessage(std::string_view text, std::string_view title, MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(title), icon});
    }
    std::optional<std::string> openFileName(std::string_view) override { return nextAnswer(fileAnswers); }
    std::optional<std::string> saveFileName(std::string_view) override { return nextAnswer(fileAnswers); }
    std::optional<std::string> inputText(std::string_view, std::string_view, std::string_view) override {
        return nextAnswer(inputAnswers);
    }
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
    double clockSeconds() override {
        const double now = clock;
        clock += clockStep;
        return now;
    }
    void openInBrowser(std::string_view target) override { browserTargets.emplace_back(target); }
    void resultLogChanged() override { ++resultUpdates; }
    void plotChanged() override { ++plotRepaints; }
    void setPlotTitle(std::string_view title) override { plotTitle = std::string(title); }
    void menusChanged() override {}
    void showForm(std::string_view formName) override { formsShown.emplace_back(formName); }
    bool savePlotImage(const std::string& path) override {
        savedImages.push_back(path);
        return imageResult;
    }
    bool copyPlotToClipboard() override { return imageResult; }
    bool printPlot() override { return imageResult; }

private:
    static std::optional<std::string> nextAnswer(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace tessaly
