#pragma once
// Answers every file and colour dialog at random, as a user clicking around
// would: any sample file (of the right kind or not), a colour, or Cancel.

#include "platform/dialog_driver.h"

#include <QStringList>

#include <random>

namespace vizmo::testing {

class MonkeyDialogs : public platform::DialogDriver {
public:
    MonkeyDialogs(std::mt19937& random, QStringList files) : random_(random), files_(std::move(files)) {}

    std::optional<QString> openFile(const platform::OpenFileRequest&) override
    {
        ++shown;
        if (files_.isEmpty() || pick(4) == 0)
            return std::nullopt;
        return files_.at(pick(int(files_.size())));
    }
    std::optional<std::uint32_t> pickColor(const platform::ColorRequest&) override
    {
        ++shown;
        if (pick(4) == 0)
            return std::nullopt;
        return std::uniform_int_distribution<std::uint32_t>(0, 0xffffff)(random_);
    }

    int shown = 0;

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::mt19937& random_;
    QStringList files_;
};

}  // namespace vizmo::testing
