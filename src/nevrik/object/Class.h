#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::object {

/// The runtime class of an object, named by its class path
/// ("Object:Handler:Messenger:Looper"). Made on demand by Object::getClass();
/// there is no registry and nothing keeps one.
class Class : public Object {
public:
    explicit Class(types::String name) noexcept;

    types::String getName() const override;
    types::String toString() const override;
    NEVRIK_CLASS_NAME(Object, ":Class")

private:
    types::String mName;
};

}  // namespace nevrik::object
