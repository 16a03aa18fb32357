#pragma once
// A stand-in for a hosted component that logs every dispatch call in order
// (instance, kind, member, typed arguments), answers reads from a script, can
// be told to fail a given call, and raises any event on demand. It checks
// calls against the real component's member table, so a wrong id or argument
// type fails exactly as it would against the real component.

#include "components/dispatch/object.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace vizmo::testing {

// One log shared by the components of a test, so their interleaving shows.
class CallLog {
public:
    void add(QString line) { lines_.push_back(std::move(line)); }
    const QStringList& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // The lines that start with `prefix` ("Vizmo41 call SetHead"), in order.
    QStringList matching(const QString& prefix) const;

private:
    QStringList lines_;
};

class RecordingComponent : public QWidget, public dispatch::Object {
public:
    RecordingComponent(const QString& className, const dispatch::MemberTable& table, QString instanceName,
                       CallLog& log);

    // How a read is answered: by default an empty variant.
    using Answer = std::function<dispatch::Result(const dispatch::Args&)>;
    void answer(dispatch::DispId id, Answer answer) { answers_[id] = std::move(answer); }

    // The next matching calls fail with this error, from the `after`-th one on
    // (0: the first). The failed call is logged with " -> error N".
    void failOn(dispatch::MemberKind kind, dispatch::DispId id, int errorNumber = 380, int after = 0);

    void raise(int position, dispatch::Args args = {});
    void raise(int position, dispatch::Args& args) { raiseEvent(position, args); }

    // "Vizmo41 call SetHead(I2(0), I2(0), I2(0))"
    static QString describe(const QString& instance, const QString& kind, const QString& member,
                            const dispatch::Args& args);

protected:
    dispatch::Result doPut(dispatch::DispId id, const dispatch::Variant& value) override;
    dispatch::Result doGet(dispatch::DispId id, const dispatch::Args& args) override;
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override;

private:
    dispatch::Result record(dispatch::MemberKind kind, const char* kindName, dispatch::DispId id,
                            const dispatch::Args& args);

    struct Failure {
        int number;
        int remainingBefore;
    };
    QString instance_;
    CallLog& log_;
    std::map<dispatch::DispId, Answer> answers_;
    std::map<std::pair<int, dispatch::DispId>, Failure> failures_;
};

}  // namespace vizmo::testing
