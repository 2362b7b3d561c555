#include "nevrik/io/StandardErrorStream.h"

namespace nevrik::io {

StandardErrorStream& StandardErrorStream::get() noexcept {
    static StandardErrorStream sInstance;
    return sInstance;
}

}  // namespace nevrik::io
