#include "support/recording_component.h"

namespace vizmo::testing {

using namespace dispatch;

QStringList CallLog::matching(const QString& prefix) const
{
    QStringList out;
    for (const QString& line : lines_) {
        if (line.startsWith(prefix))
            out << line;
    }
    return out;
}

RecordingComponent::RecordingComponent(const QString& className, const MemberTable& table, QString instanceName,
                                       CallLog& log)
    : Object(className, table), instance_(std::move(instanceName)), log_(log)
{
    setFocusPolicy(Qt::StrongFocus);
}

void RecordingComponent::failOn(MemberKind kind, DispId id, int errorNumber, int after)
{
    failures_[{int(kind), id}] = Failure{errorNumber, after};
}

void RecordingComponent::raise(int position, Args args)
{
    raiseEvent(position, args);
}

QString RecordingComponent::describe(const QString& instance, const QString& kind, const QString& member,
                                     const Args& args)
{
    QStringList parts;
    for (const Variant& a : args)
        parts << a.describe();
    return QStringLiteral("%1 %2 %3(%4)").arg(instance, kind, member, parts.join(QStringLiteral(", ")));
}

Result RecordingComponent::record(MemberKind kind, const char* kindName, DispId id, const Args& args)
{
    QString line = describe(instance_, QString::fromLatin1(kindName), members().nameOf(id), args);
    auto failure = failures_.find({int(kind), id});
    if (failure != failures_.end()) {
        if (failure->second.remainingBefore == 0) {
            log_.add(line + QStringLiteral(" -> error %1").arg(failure->second.number));
            return fail(failure->second.number, QStringLiteral("refused by the test"));
        }
        --failure->second.remainingBefore;
    }
    log_.add(line);
    if (kind != MemberKind::PropertyPut) {
        auto answer = answers_.find(id);
        if (answer != answers_.end())
            return answer->second(args);
    }
    return {};
}

Result RecordingComponent::doPut(DispId id, const Variant& value)
{
    return record(MemberKind::PropertyPut, "put", id, {value});
}

Result RecordingComponent::doGet(DispId id, const Args& args)
{
    return record(MemberKind::PropertyGet, "get", id, args);
}

Result RecordingComponent::doCall(DispId id, const Args& args)
{
    return record(MemberKind::Method, "call", id, args);
}

}  // namespace vizmo::testing
