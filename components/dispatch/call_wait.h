#pragma once
// A call into a component that must return the result of slow work (a file
// read and parsed on a worker thread) waits for it here. The window keeps
// painting, and the components keep animating and sounding, but nothing of
// the host runs inside the call: whatever would start one of its handlers
// meanwhile (a timer's tick, an event a component raises from its own timers
// or threads, a focus change) is held where it comes from, and runs once the
// call has returned and the event loop is reached again, in the order it
// came. User input stays in the platform's queue until the wait ends.
//
// Everything here belongs to the UI thread.

#include <chrono>
#include <functional>

namespace vizmo::dispatch {

// Runs the event loop without user input until `ready` says the work is done;
// `ready` may block for up to the time it is given, waiting for it.
void waitKeepingWindowPainted(const std::function<bool(std::chrono::milliseconds)>& ready);

// Whether a call is waiting: a handler started now would run inside it.
bool callWaiting();

// Keeps `entry` to run from the event loop once no call waits. Entries held
// with the same `coalesce` key (when not null) run once, at the place of the
// first: the ticks of a timer that could not fire.
void holdUntilCallReturns(const void* owner, std::function<void()> entry, const void* coalesce = nullptr);
// Drops what `owner` holds: an owner that goes calls it.
void forgetHeld(const void* owner);

}  // namespace vizmo::dispatch
