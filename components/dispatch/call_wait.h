#pragma once
// A call into a component that must return the result of slow work (a file
// read and parsed on a worker thread) waits for it here. The window keeps
// painting, and the components keep animating and sounding, but nothing of
// the host runs inside the call: whatever would start one of its handlers
// meanwhile (a timer's tick, an event a component raises from its own timers
// or threads, a focus change) is held where it comes from.
//
// What is held runs once the handler that made the call has returned and the
// event loop is reached again, in the order it came, never inside a later
// wait of the same handler. An entry that is no longer due when its turn
// comes is dropped instead: an event of a script that the handler has since
// replaced belongs to nothing the host shows. What an entry runs may wait in
// turn; what that wait holds queues up behind the entries already held.
//
// User input (keys, mouse buttons and moves) stays in the platform's queue
// while a call waits, and reaches the window after every held entry has run.
// Text dropped from another program is no input the platform can keep back:
// it lands at once, where it is dropped; a text box that a paste is filling
// keeps it until the paste is in (platform/text_box.cpp).
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

// Keeps `entry` to run from the event loop once no call waits. The entry owns
// what it uses: the code that held it has long returned when it runs.
// Entries held with the same `coalesce` key (when not null) run once, at the
// place of the first: the ticks of a timer that could not fire. An entry with
// `stillDue` runs only if that still says so at its turn; `stillDue` may read
// `owner`, which forgets what it holds before it goes.
void holdUntilCallReturns(const void* owner, std::function<void()> entry, const void* coalesce = nullptr,
                          std::function<bool()> stillDue = {});
// Drops what `owner` holds: an owner that goes calls it.
void forgetHeld(const void* owner);

}  // namespace vizmo::dispatch
