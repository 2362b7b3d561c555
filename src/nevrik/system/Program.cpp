#include "nevrik/system/Program.h"

#include "nevrik/object/Exception.h"
#include "nevrik/system/detail/Interpreter.h"

namespace nevrik::system {

bool Program::hasNativeBackend() noexcept {
#if defined(__x86_64__) && !defined(_WIN32)
    return true;
#else
    return false;
#endif
}

Program::Backend Program::getHostBackend() noexcept {
#ifdef NEVRIK_FORCE_INTERPRETER
    return Backend::Interpreter;
#else
    return hasNativeBackend() ? Backend::Native : Backend::Interpreter;
#endif
}

bool Program::addLabel(const char* name) {
    if (mFinalised) {
        return false;
    }
    mLabels.add(Label(name, static_cast<std::uintptr_t>(mCode.getCount())));
    return true;
}

int Program::finalise() {
    if (mFinalised) {
        return mLabels.getCount();
    }
    // Exact sizes: the code buffer must not move once addresses point into it.
    container::Array<std::uint8_t>(mCode).swap(mCode);
    container::Array<Label>(mLabels).swap(mLabels);
    if (mBackend == Backend::Native && !mCode.isEmpty() &&
        !mMemory.load(mCode.getData(), static_cast<std::size_t>(mCode.getCount()))) {
        throw object::Exception("Program::finalise: no executable memory for the code");
    }
    mFinalised = true;
    const auto base = reinterpret_cast<std::uintptr_t>(getEntry());
    for (Label& label : mLabels) {
        label.address += base;
    }
    return mLabels.getCount();
}

const void* Program::getEntry() const noexcept {
    if (!mFinalised || mCode.isEmpty()) {
        return nullptr;
    }
    return mBackend == Backend::Native ? mMemory.getAddress() : mCode.getData();
}

bool Program::run() const noexcept {
    const void* entry = getEntry();
    if (entry == nullptr) {
        return false;
    }
    if (mBackend == Backend::Native) {
        reinterpret_cast<void (*)()>(reinterpret_cast<std::uintptr_t>(entry))();
    } else {
        detail::Interpreter::run(mCode.getData(), static_cast<std::size_t>(mCode.getCount()));
    }
    return true;
}

}  // namespace nevrik::system
