#include "components/dispatch/object.h"

#include "components/dispatch/call_wait.h"

namespace vizmo::dispatch {

Object::Object(QString className, const MemberTable& table)
    : className_(std::move(className)), table_(table)
{
}

Object::~Object() { forgetHeld(this); }

Result Object::put(DispId id, const Variant& value)
{
    if (auto error = table_.check(id, MemberKind::PropertyPut, {value}, className_))
        return *error;
    return doPut(id, value);
}

Result Object::get(DispId id, const Args& args)
{
    if (auto error = table_.check(id, MemberKind::PropertyGet, args, className_))
        return *error;
    return doGet(id, args);
}

Result Object::call(DispId id, const Args& args)
{
    if (auto error = table_.check(id, MemberKind::Method, args, className_))
        return *error;
    return doCall(id, args);
}

void Object::raiseEvent(int position, Args& args) { raise(position, args, nullptr); }

void Object::raiseEvent(int position)
{
    Args none;
    raise(position, none, nullptr);
}

void Object::raiseEvent(int position, Args& args, const Content& content) { raise(position, args, &content); }

void Object::raiseEvent(int position, const Content& content)
{
    Args none;
    raise(position, none, &content);
}

void Object::raise(int position, Args& args, const Content* content)
{
    if (!sink_)
        return;
    if (callWaiting()) {
        // Raised from the event loop inside a call that waits: the host handles
        // it once that call has returned, with a copy of the arguments. The
        // content lives in this object, which forgets what it holds as it goes.
        std::function<bool()> stillDue;
        if (content)
            stillDue = [content, epoch = content->epoch_] { return content->epoch_ == epoch; };
        holdUntilCallReturns(
            this,
            [this, position, copy = args]() mutable {
                if (sink_)
                    sink_->handleEvent(*this, position, copy);
            },
            nullptr, std::move(stillDue));
        return;
    }
    sink_->handleEvent(*this, position, args);
}

Result Object::fail(int number, QString description) const
{
    if (description.isEmpty())
        description = standardDescription(number);
    return Error{number, className_, std::move(description)};
}

}  // namespace vizmo::dispatch
