#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <atomic>

namespace nevrik::application {

class Message;
class Messenger;

/// A party that receives messages, attached to at most one Messenger, on
/// whose thread onMessage() runs.
///
/// Reference-counted: the messenger's handler chain holds a reference while
/// the handler is attached, and so does every pooled message on its way to it.
/// A handler that dies attached detaches itself first.
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

    // Read by posting threads while the owning thread attaches and detaches.
    std::atomic<Messenger*> mMessenger{nullptr};
};

}  // namespace nevrik::application
