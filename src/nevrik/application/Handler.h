#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Object.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/types/String.h"

#include <atomic>

namespace nevrik::application {

class Message;
class Messenger;

/// A party that receives messages, attached to at most one Messenger, on
/// whose thread onMessage() runs.
///
/// Reference-counted: the messenger's handler chain holds a reference while
/// the handler is attached, and so does every pooled message on its way to it,
/// so onMessage() never runs once the handler has begun to die. Whoever posts
/// or sends to a handler holds a reference on it for the call. Deliveries to
/// one handler are serialised: a handler moved to another messenger while
/// messages wait for it on the old one gets them on its new messenger's
/// thread, never on two threads at once. A handler that dies attached
/// detaches itself first.
class Handler : public object::Object, public container::Chainable<Handler> {
public:
    Handler() noexcept = default;
    ~Handler() override;

    /// Receives one message, on the messenger's thread; does nothing by default.
    virtual bool onMessage(Message& message);

    NEVRIK_CLASS_NAME(object::Object, ":Handler")

    /// The messenger it is attached to (a messenger's is itself), or null.
    Messenger* getMessenger() const noexcept { return mMessenger.load(std::memory_order_acquire); }

private:
    friend class Messenger;

    // Written under the messengers' process-wide link lock; read without it
    // only as a snapshot.
    std::atomic<Messenger*> mMessenger{nullptr};
    // Held around every onMessage() call: the thread that delivers after a
    // move waits for the one that delivered before it.
    system::Mutex mDeliveryLock;
};

}  // namespace nevrik::application
