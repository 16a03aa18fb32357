#pragma once
// Reading and parsing a model or script, or decoding a picture, runs on a
// thread of its own, while the property call that asked for it still returns
// the file's result or error. A load that ends within kQuietWaitMs is simply
// waited for. A longer one (a slow disk, a large file on a busy machine) keeps
// the window painting until it ends, and no handler of the host runs inside
// the call meanwhile (components/dispatch/call_wait.h).

#include "components/dispatch/call_wait.h"

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
    if (result.wait_for(milliseconds(kQuietWaitMs)) != std::future_status::ready)
        dispatch::waitKeepingWindowPainted(
            [&](milliseconds atMost) { return result.wait_for(atMost) == std::future_status::ready; });
    return result.get();
}

}  // namespace vizmo::player
