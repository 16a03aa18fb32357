#pragma once
// Reading and parsing a model or script runs on a thread of its own, while the
// property call that asked for it still returns the file's result or error.
// A load that ends within kQuietWaitMs is simply waited for: nothing else
// runs meanwhile, as before. A longer one (a slow disk, a large file on a busy
// machine) keeps the window painting and its timers running until it ends;
// the user's input waits in the queue, so no click lands half-way.

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <future>
#include <utility>

namespace vizmo::player {

inline constexpr int kQuietWaitMs = 25;

template <typename Work>
auto runOffThread(Work work) -> decltype(work())
{
    using namespace std::chrono;
    auto result = std::async(std::launch::async, std::move(work));
    if (result.wait_for(milliseconds(kQuietWaitMs)) != std::future_status::ready) {
        do {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        } while (result.wait_for(milliseconds(2)) != std::future_status::ready);
    }
    return result.get();
}

}  // namespace vizmo::player
