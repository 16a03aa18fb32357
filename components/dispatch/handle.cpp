#include "components/dispatch/handle.h"

namespace vizmo::dispatch {

Handle::Handle(Object& object, QString instanceName)
    : object_(&object), name_(std::move(instanceName))
{
}

void Handle::put(DispId id, const Variant& value) const
{
    unwrap(id, object_->put(id, value));
}

Variant Handle::get(DispId id, const Args& args) const
{
    return unwrap(id, object_->get(id, args));
}

Variant Handle::call(DispId id, const Args& args) const
{
    return unwrap(id, object_->call(id, args));
}

Variant Handle::unwrap(DispId id, const Result& result) const
{
    if (!result.ok())
        throw RuntimeError(result.error(), name_ + QLatin1Char('.') + object_->members().nameOf(id));
    return result.value();
}

}  // namespace vizmo::dispatch
