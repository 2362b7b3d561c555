#include "nevrik/graphics3d/core/ParameterFormat.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include <cstring>

namespace nevrik::graphics3d {

int ParameterFormat::add(const char* name, std::uint32_t type) {
    Component component;
    if (name != nullptr) {
        std::strncpy(component.name, name, kNameLength);
    }
    component.offset = mTotal;
    component.type = type;
    mComponents.add(component);
    mTotal += TypeWord::getSize(type);
    return mComponents.getCount() - 1;
}

const ParameterFormat::Component* ParameterFormat::find(const char* name) const noexcept {
    const char* wanted = name != nullptr ? name : "";
    for (const Component& component : mComponents) {
        if (std::strncmp(component.name, wanted, kNameLength) == 0) {
            return &component;
        }
    }
    return nullptr;
}

void ParameterFormat::clear() noexcept {
    mComponents.clear();
    mTotal = 0;
}

}  // namespace nevrik::graphics3d
