#include "nevrik/application/Message.h"

#include "nevrik/application/Messenger.h"
#include "nevrik/container/Allocator.h"
#include "nevrik/system/Mutex.h"

#include <cstring>

namespace nevrik::application {
namespace {

struct Pools {
    system::Mutex lock;
    container::Allocator<Message, 64> messages;
    container::Allocator<Message::Parameter, 64> parameters;
    std::int64_t liveMessages = 0;
    std::int64_t liveParameters = 0;
};

Pools& pools() {
    // Never destroyed: messages may still be released while statics die.
    static auto* sPools = new Pools();
    return *sPools;
}

template <class Read>
std::int64_t readPools(Read read) {
    Pools& all = pools();
    system::Mutex::Guard guard(all.lock);
    return read(all);
}

}  // namespace

Message::Parameter::Parameter(const char* name, object::Object* value) noexcept : mValue(value) {
    std::strncpy(mName, name, kMaxNameLength);
    mName[kMaxNameLength] = '\0';
}

bool Message::Parameter::hasName(const char* name) const noexcept {
    return std::strncmp(mName, name, kMaxNameLength) == 0;
}

std::int64_t Message::Parameter::getLiveCount() {
    return readPools([](Pools& all) { return all.liveParameters; });
}

std::int64_t Message::Parameter::getPoolSize() {
    return readPools([](Pools& all) { return all.parameters.getTotalSlots(); });
}

Message::Message(std::uint32_t what, Handler* target) noexcept : mWhat(what), mTarget(target) {}

Message::~Message() {
    clearParameters();
}

object::Pointer<Message> Message::make(std::uint32_t what, Handler* target) {
    Message* message = nullptr;
    {
        Pools& all = pools();
        system::Mutex::Guard guard(all.lock);
        message = all.messages.create(what, target);
        ++all.liveMessages;
    }
    // A looper's messages to itself keep it alive until delivered, so that
    // none reaches it after its destructor has begun. A messenger that queues
    // messages itself keeps them on its own queue, which dies with it: a
    // reference from them would keep it alive for ever. A count at zero is a
    // target messaged by its own destructor (a window closing itself, which
    // waits for the delivery): it cannot be held again.
    const Messenger* messenger = target != nullptr ? target->getMessenger() : nullptr;
    if (target != nullptr && target->getReferenceCount() > 0 &&
        (messenger != target || messenger->ownsThread())) {
        target->addReference();
        message->mHoldsTarget = true;
    }
    return object::Pointer<Message>::adopt(message);
}

void Message::release() noexcept {
    if (mUseCount >= 2) {
        --mUseCount;
        return;
    }
    Handler* heldTarget = mHoldsTarget ? mTarget : nullptr;
    {
        Pools& all = pools();
        system::Mutex::Guard guard(all.lock);
        all.messages.destroy(this);
        --all.liveMessages;
    }
    // Last, outside the lock: the handler may die here.
    if (heldTarget != nullptr) {
        heldTarget->release();
    }
}

bool Message::addParameter(const char* name, object::Object* value) {
    if (name == nullptr) {
        return false;
    }
    Pools& all = pools();
    system::Mutex::Guard guard(all.lock);
    mParameters.add(all.parameters.create(name, value));
    ++all.liveParameters;
    return true;
}

const Message::Parameter* Message::getParameter(const char* name) const noexcept {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Parameter* parameter : mParameters) {
        if (parameter->hasName(name)) {
            return parameter;
        }
    }
    return nullptr;
}

void Message::clearParameters() noexcept {
    if (mParameters.isEmpty()) {
        return;
    }
    Pools& all = pools();
    system::Mutex::Guard guard(all.lock);
    while (Parameter* parameter = mParameters.getFirst()) {
        mParameters.remove(parameter);
        all.parameters.destroy(parameter);
        --all.liveParameters;
    }
}

std::int64_t Message::getLiveCount() {
    return readPools([](Pools& all) { return all.liveMessages; });
}

std::int64_t Message::getPoolSize() {
    return readPools([](Pools& all) { return all.messages.getTotalSlots(); });
}

}  // namespace nevrik::application
