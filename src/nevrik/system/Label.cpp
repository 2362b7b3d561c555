#include "nevrik/system/Label.h"

#include <cstring>

namespace nevrik::system {

Label::Label(const char* text, std::uintptr_t place) noexcept : address(place) {
    for (int i = 0; text != nullptr && i < kNameSize && text[i] != '\0'; ++i) {
        name[i] = text[i];
    }
}

types::String Label::getName() const {
    const void* end = std::memchr(name, '\0', kNameSize);
    return types::String(name, end != nullptr ? static_cast<const char*>(end) - name : kNameSize);
}

}  // namespace nevrik::system
