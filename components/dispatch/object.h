#pragma once
// The dispatch interface every component offers its host: property put,
// property get and method call by id with typed arguments, and events raised
// to one host sink by their position in the component's event list.

#include "components/dispatch/member_table.h"
#include "components/dispatch/result.h"

#include <QString>

namespace vizmo::dispatch {

class Object;

// Something a component shows or plays that the host replaces by a put: the
// player's script, for one. An event raised for it while a call waits is held
// with the content it was raised for, and dropped if that content has been
// replaced by the time the event would reach the host.
class Content {
public:
    // A put has put new content in the old one's place.
    void replaced() { ++epoch_; }

private:
    friend class Object;
    quint64 epoch_ = 0;
};

// The host side of a component's events. Arguments are passed by reference:
// the host may change them (a Boolean Cancel, for instance) before returning.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void handleEvent(Object& source, int position, Args& args) = 0;
};

class Object {
public:
    Object(QString className, const MemberTable& table);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    const QString& className() const { return className_; }
    const MemberTable& members() const { return table_; }

    // Each checks the id, the argument count and types against the table, then
    // hands the call to the component. They never throw.
    Result put(DispId id, const Variant& value);
    Result get(DispId id, const Args& args = {});
    Result call(DispId id, const Args& args = {});

    // One host receives the events; nullptr detaches it.
    void setEventSink(EventSink* sink) { sink_ = sink; }
    EventSink* eventSink() const { return sink_; }

protected:
    virtual Result doPut(DispId id, const Variant& value) = 0;
    virtual Result doGet(DispId id, const Args& args) = 0;
    virtual Result doCall(DispId id, const Args& args) = 0;

    // Raises the event at `position` synchronously, on the caller's thread
    // (components raise events on the UI thread only). The host may call back
    // into this object from inside its handler. While a call waits (see
    // call_wait.h) the event is held and reaches the host after that call has
    // returned; a change the host then makes to a by-reference argument is
    // not seen here.
    void raiseEvent(int position, Args& args);
    void raiseEvent(int position);
    // The same for an event of `content`, a member of this object: held, it is
    // dropped if `content` has been replaced before the host would get it.
    void raiseEvent(int position, Args& args, const Content& content);
    void raiseEvent(int position, const Content& content);

    // An error result whose source is this class.
    Result fail(int number, QString description) const;

private:
    void raise(int position, Args& args, const Content* content);

    QString className_;
    const MemberTable& table_;
    EventSink* sink_ = nullptr;
};

}  // namespace vizmo::dispatch
