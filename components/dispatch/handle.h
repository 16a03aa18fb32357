#pragma once
// The host's late-bound reference to a component, as the window's handlers
// use it: every call goes by id, and a refused call raises the run-time error
// that ends the handler, naming the member that failed ("Vizmo41.Play").

#include "components/dispatch/object.h"

namespace vizmo::dispatch {

class Handle {
public:
    Handle(Object& object, QString instanceName);

    Object& object() const { return *object_; }
    const QString& instanceName() const { return name_; }

    void put(DispId id, const Variant& value) const;
    Variant get(DispId id, const Args& args = {}) const;
    Variant call(DispId id, const Args& args = {}) const;

private:
    Variant unwrap(DispId id, const Result& result) const;
    Object* object_;
    QString name_;
};

}  // namespace vizmo::dispatch
