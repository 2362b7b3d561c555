#pragma once

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace nevrik::platform {

// Keeps the OpenGL drivers that are loaded now in memory for good. Mesa's
// drivers leave a few blocks behind when they are unloaded with the last
// connection, which the leak checker of sanitizer builds would blame on the
// test; loaded for good, the blocks stay reachable.
inline void keepGlDrivers() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

}  // namespace nevrik::platform
