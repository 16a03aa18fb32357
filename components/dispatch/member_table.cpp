#include "components/dispatch/member_table.h"

namespace vizmo::dispatch {

MemberTable::MemberTable(std::initializer_list<Member> members, std::initializer_list<EventInfo> events)
    : members_(members), events_(events)
{
}

const Member* MemberTable::find(DispId id, MemberKind kind) const
{
    for (const Member& m : members_) {
        if (m.id == id && m.kind == kind)
            return &m;
    }
    return nullptr;
}

QString MemberTable::nameOf(DispId id) const
{
    for (const Member& m : members_) {
        if (m.id == id)
            return m.name;
    }
    return QStringLiteral("#%1").arg(id);
}

const EventInfo* MemberTable::event(int position) const
{
    for (const EventInfo& e : events_) {
        if (e.position == position)
            return &e;
    }
    return nullptr;
}

std::optional<Error> MemberTable::check(DispId id, MemberKind kind, const Args& args, const QString& source) const
{
    const Member* member = find(id, kind);
    if (!member)
        return Error{err::NotSupported, source, standardDescription(err::NotSupported)};
    if (args.size() != member->args.size())
        return Error{err::WrongArgumentCount, source, standardDescription(err::WrongArgumentCount)};
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].type() != member->args[i]) {
            return Error{err::TypeMismatch, source,
                         QStringLiteral("Type mismatch: %1 argument %2 must be %3, not %4")
                             .arg(member->name).arg(i + 1).arg(typeName(member->args[i]), typeName(args[i].type()))};
        }
    }
    return std::nullopt;
}

}  // namespace vizmo::dispatch
