#include "components/dispatch/call_wait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <deque>

namespace vizmo::dispatch {

namespace {

struct Held {
    const void* owner;
    std::function<void()> entry;
    const void* coalesce;
    std::function<bool()> stillDue;
};

int waiting = 0;
std::deque<Held> held;
bool replayPosted = false;

void replayHeld()
{
    replayPosted = false;
    // An entry may wait in a call of its own; what that wait holds queues up
    // behind the entries already here, and a replay is posted for it anew.
    while (!held.empty() && waiting == 0) {
        Held next = std::move(held.front());
        held.pop_front();
        if (!next.stillDue || next.stillDue())
            next.entry();
    }
}

// Posted, not run: the call that waited is still on the stack, inside the
// handler that made it; the event loop is reached only when that has returned.
void postReplay()
{
    if (replayPosted || held.empty() || !QCoreApplication::instance())
        return;
    replayPosted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &replayHeld, Qt::QueuedConnection);
}

struct WaitScope {
    WaitScope() { ++waiting; }
    ~WaitScope()
    {
        if (--waiting == 0)
            postReplay();
    }
};

}  // namespace

void waitKeepingWindowPainted(const std::function<bool(std::chrono::milliseconds)>& ready)
{
    using namespace std::chrono_literals;
    WaitScope scope;
    // The caller has waited quietly already: what came meanwhile goes first.
    do
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    while (!ready(2ms));
}

bool callWaiting() { return waiting > 0; }

void holdUntilCallReturns(const void* owner, std::function<void()> entry, const void* coalesce,
                          std::function<bool()> stillDue)
{
    if (coalesce && std::any_of(held.begin(), held.end(), [&](const Held& h) { return h.coalesce == coalesce; }))
        return;
    held.push_back({owner, std::move(entry), coalesce, std::move(stillDue)});
    if (waiting == 0)
        postReplay();
}

void forgetHeld(const void* owner)
{
    held.erase(std::remove_if(held.begin(), held.end(), [&](const Held& h) { return h.owner == owner; }), held.end());
}

}  // namespace vizmo::dispatch
