#include "nevrik/system/Timestamp.h"

#include "nevrik/platform/Clock.h"

namespace nevrik::system {

void Timestamp::now() noexcept {
    mMicroseconds = platform::Clock::now();
}

types::String Timestamp::toString() const {
    const std::string text = platform::Clock::formatLocal(mMicroseconds);
    return types::String(text.c_str(), text.size());
}

}  // namespace nevrik::system
