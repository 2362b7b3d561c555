#include "nevrik/io/StandardOutputStream.h"

namespace nevrik::io {

StandardOutputStream& StandardOutputStream::get() noexcept {
    static StandardOutputStream sInstance;
    return sInstance;
}

}  // namespace nevrik::io
