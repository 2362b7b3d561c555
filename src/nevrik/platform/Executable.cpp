#include "nevrik/platform/Executable.h"

#include <unistd.h>

#include <vector>

namespace nevrik::platform {

std::string Executable::getFolder() {
    // The link's text has no length limit: grow until it fits with room to spare.
    std::vector<char> buffer(256);
    ssize_t length = 0;
    while ((length = readlink("/proc/self/exe", buffer.data(), buffer.size())) >= 0 &&
           static_cast<std::size_t>(length) == buffer.size()) {
        buffer.resize(buffer.size() * 2);
    }
    if (length <= 0) {
        return {};
    }
    // A removed file reads as "<path> (deleted)": the folder part stands either way.
    const std::string path(buffer.data(), static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace nevrik::platform
