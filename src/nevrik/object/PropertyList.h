#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Property.h"
#include "nevrik/types/String.h"

namespace nevrik::object {

/// The settings a format translator describes and accepts: Property values in
/// order. A translator hands out a new list (the caller holds its one
/// reference) and reads settings back from one. Copies are deep. Not
/// synchronised.
class PropertyList : public Object {
public:
    PropertyList() noexcept = default;
    /// One property per record of `table` up to its kTableEnd record, in
    /// table order. A null table gives an empty list.
    explicit PropertyList(const Property::TableRecord* table);

    /// Appends a copy of `property`, which may be one of this list's own.
    Property& add(const Property& property);

    /// The first property named exactly `name` (no prefix and no longer name
    /// matches), or end() when none is; a null name matches nothing.
    Property* find(const char* name) noexcept;
    const Property* find(const char* name) const noexcept;

    NEVRIK_CLASS_NAME(Object, ":PropertyList")

    int getCount() const noexcept { return mProperties.getCount(); }
    Property* begin() noexcept { return mProperties.begin(); }
    Property* end() noexcept { return mProperties.end(); }
    const Property* begin() const noexcept { return mProperties.begin(); }
    const Property* end() const noexcept { return mProperties.end(); }

private:
    container::Array<Property> mProperties;
};

}  // namespace nevrik::object
