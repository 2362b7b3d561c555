#pragma once

#include <string>

namespace nevrik::platform {

/// The file the running program was started from.
///
/// Stateless; every operation may be called from any thread.
class Executable {
public:
    /// The folder holding the program's executable file, symbolic links
    /// resolved, without a final "/" (but "/" itself). It may have been
    /// removed since the start. Empty when the system does not say.
    static std::string getFolder();
};

}  // namespace nevrik::platform
