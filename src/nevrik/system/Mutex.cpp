#include "nevrik/system/Mutex.h"

namespace nevrik::system {

bool Mutex::lock() {
    mMutex.lock();
    return true;
}

bool Mutex::unlock() {
    mMutex.unlock();
    return true;
}

}  // namespace nevrik::system
