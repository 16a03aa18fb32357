#pragma once
// A component's dispatch table: which ids it answers, as what kind of member,
// with which argument types, and which events it raises at which position.
// The Object base checks every call against it before the component sees it.

#include "components/dispatch/error.h"
#include "components/dispatch/variant.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace vizmo::dispatch {

using DispId = std::int32_t;
using Args = std::vector<Variant>;

enum class MemberKind { PropertyPut, PropertyGet, Method };

struct Member {
    DispId id;
    QString name;
    MemberKind kind;
    std::vector<VarType> args;       // for a put: the one value's type
    VarType result = VarType::Empty; // for a get or a method that answers
};

struct EventInfo {
    int position;
    QString name;
    std::vector<VarType> args;
};

class MemberTable {
public:
    MemberTable(std::initializer_list<Member> members, std::initializer_list<EventInfo> events = {});

    const Member* find(DispId id, MemberKind kind) const;
    // The member's name for messages, whatever its kind; "#id" if unknown.
    QString nameOf(DispId id) const;
    const EventInfo* event(int position) const;
    const std::vector<Member>& members() const { return members_; }
    const std::vector<EventInfo>& events() const { return events_; }

    // Refuses an unknown id (438), a wrong number of arguments (450) or a
    // wrong argument type (13). `source` names the component in the error.
    std::optional<Error> check(DispId id, MemberKind kind, const Args& args, const QString& source) const;

private:
    std::vector<Member> members_;
    std::vector<EventInfo> events_;
};

}  // namespace vizmo::dispatch
