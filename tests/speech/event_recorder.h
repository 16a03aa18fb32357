#pragma once
// Records the events a component raises, by name, with their arguments.

#include "components/dispatch/object.h"

#include <QStringList>

#include <vector>

namespace vizmo::speech::testing {

class EventRecorder : public dispatch::EventSink {
public:
    struct Raised {
        QString name;
        dispatch::Args args;
    };
    void handleEvent(dispatch::Object& source, int position, dispatch::Args& args) override
    {
        const auto* info = source.members().event(position);
        events.push_back({info ? info->name : QStringLiteral("#%1").arg(position), args});
        if (onEvent)
            onEvent(events.back());
    }
    // The names, leaving out the frequent Word events.
    QStringList names() const
    {
        QStringList out;
        for (const auto& e : events) {
            if (e.name != QLatin1String("Word"))
                out << e.name;
        }
        return out;
    }
    int count(const QString& name) const
    {
        int n = 0;
        for (const auto& e : events)
            n += e.name == name;
        return n;
    }
    std::function<void(const Raised&)> onEvent;
    std::vector<Raised> events;
};

}  // namespace vizmo::speech::testing
