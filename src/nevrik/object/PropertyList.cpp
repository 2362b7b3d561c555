#include "nevrik/object/PropertyList.h"

#include <cstring>

namespace nevrik::object {

PropertyList::PropertyList(const Property::TableRecord* table) {
    for (; table != nullptr && table->kind != Property::kTableEnd; ++table) {
        mProperties.add(Property(*table));
    }
}

Property& PropertyList::add(const Property& property) {
    return mProperties.add(property);
}

Property* PropertyList::find(const char* name) noexcept {
    return const_cast<Property*>(static_cast<const PropertyList*>(this)->find(name));
}

const Property* PropertyList::find(const char* name) const noexcept {
    if (name == nullptr) {
        return end();
    }
    for (const Property& property : mProperties) {
        // Equal through the property's NUL, i.e. the whole name; strcmp stops
        // at the first NUL, so a shorter `name` is never read past its end.
        if (std::strcmp(property.mName.c_str(), name) == 0) {
            return &property;
        }
    }
    return end();
}

}  // namespace nevrik::object
