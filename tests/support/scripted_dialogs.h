#pragma once
// A dialog driver that answers from a queue (a path, a colour or Cancel)
// without opening a window, and records every request it was shown.

#include "platform/dialog_driver.h"

#include <deque>
#include <variant>
#include <vector>

namespace vizmo::testing {

class ScriptedDialogDriver : public platform::DialogDriver {
public:
    void answerFile(const QString& path) { answers_.push_back(path); }
    void answerColor(std::uint32_t color) { answers_.push_back(color); }
    void answerCancel() { answers_.push_back(Cancel{}); }
    bool allAnswered() const { return answers_.empty(); }

    // Throws std::logic_error when the next answer is missing or of the wrong kind.
    std::optional<QString> openFile(const platform::OpenFileRequest& request) override;
    std::optional<std::uint32_t> pickColor(const platform::ColorRequest& request) override;

    const std::vector<platform::OpenFileRequest>& openRequests() const { return openRequests_; }
    const std::vector<platform::ColorRequest>& colorRequests() const { return colorRequests_; }

private:
    struct Cancel {};
    using Answer = std::variant<QString, std::uint32_t, Cancel>;
    Answer next(const char* dialog);

    std::deque<Answer> answers_;
    std::vector<platform::OpenFileRequest> openRequests_;
    std::vector<platform::ColorRequest> colorRequests_;
};

}  // namespace vizmo::testing
