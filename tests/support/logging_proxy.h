#pragma once
// Stands between the window and a real component: logs each call the window
// makes ("Vizmo41 put ModelName(...)", then "... returned" when it has) and
// each event that reaches the window's handlers ("Vizmo41 event Eof", then
// "... handled" when its handler has returned), in one
// log with the other components, and passes everything on unchanged.

#include "components/dispatch/object.h"
#include "support/recording_component.h"

namespace vizmo::testing {

class LoggingProxy : public dispatch::Object, public dispatch::EventSink {
public:
    LoggingProxy(dispatch::Object& real, QString instance, CallLog& log)
        : Object(real.className(), real.members()), real_(real), instance_(std::move(instance)), log_(log)
    {
        real_.setEventSink(this);
    }
    ~LoggingProxy() override { real_.setEventSink(nullptr); }

    void handleEvent(dispatch::Object&, int position, dispatch::Args& args) override
    {
        const dispatch::EventInfo* info = members().event(position);
        const QString line = QStringLiteral("%1 event %2").arg(instance_, info ? info->name : QString::number(position));
        log_.add(line);
        raiseEvent(position, args);
        log_.add(line + QStringLiteral(" handled"));
    }

protected:
    dispatch::Result doPut(dispatch::DispId id, const dispatch::Variant& value) override
    {
        return logged("put", id, {value}, [&] { return real_.put(id, value); });
    }
    dispatch::Result doGet(dispatch::DispId id, const dispatch::Args& args) override
    {
        return logged("get", id, args, [&] { return real_.get(id, args); });
    }
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override
    {
        return logged("call", id, args, [&] { return real_.call(id, args); });
    }

private:
    template <typename Pass>
    dispatch::Result logged(const char* kind, dispatch::DispId id, const dispatch::Args& args, Pass pass)
    {
        const QString line = RecordingComponent::describe(instance_, QString::fromLatin1(kind), members().nameOf(id), args);
        log_.add(line);
        dispatch::Result result = pass();
        log_.add(line + QStringLiteral(" returned"));
        return result;
    }

    dispatch::Object& real_;
    QString instance_;
    CallLog& log_;
};

}  // namespace vizmo::testing
