#include "support/scripted_dialogs.h"

#include <stdexcept>
#include <string>

namespace vizmo::testing {

ScriptedDialogDriver::Answer ScriptedDialogDriver::next(const char* dialog)
{
    if (answers_.empty())
        throw std::logic_error(std::string("no scripted answer left for the ") + dialog + " dialog");
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogDriver::openFile(const platform::OpenFileRequest& request)
{
    openRequests_.push_back(request);
    const Answer answer = next("file");
    if (std::holds_alternative<Cancel>(answer))
        return std::nullopt;
    if (const auto* path = std::get_if<QString>(&answer))
        return *path;
    throw std::logic_error("a colour was scripted, but a file dialog was shown");
}

std::optional<std::uint32_t> ScriptedDialogDriver::pickColor(const platform::ColorRequest& request)
{
    colorRequests_.push_back(request);
    const Answer answer = next("colour");
    if (std::holds_alternative<Cancel>(answer))
        return std::nullopt;
    if (const auto* color = std::get_if<std::uint32_t>(&answer))
        return *color;
    throw std::logic_error("a path was scripted, but a colour dialog was shown");
}

}  // namespace vizmo::testing
