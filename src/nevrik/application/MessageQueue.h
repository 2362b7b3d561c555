#pragma once

#include "nevrik/application/Message.h"
#include "nevrik/container/Queue.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::application {

/// The messages waiting for a messenger that delivers them itself (the
/// application): urgent ones first, in the order they came, then the rest.
///
/// Each queued message counts the queue as one more holder. Owned by value by
/// its messenger, which locks around it; messages still waiting when it dies
/// are released undelivered.
class MessageQueue : public object::Object, private object::Noncopyable {
public:
    MessageQueue() = default;
    ~MessageQueue() override;

    /// Queues `message` behind every waiting one. Returns false, changing
    /// nothing, when it is null or already on a queue.
    bool pushBack(Message* message);
    /// Queues `message` ahead of every waiting one that was not itself pushed
    /// at the front, so that urgent messages keep their order among themselves.
    bool pushFront(Message* message);
    /// Takes out the first message, or null when empty; its holders do not change.
    Message* pop();
    /// Releases every waiting message undelivered.
    void clear();

    NEVRIK_CLASS_NAME(object::Object, ":MessageQueue")

    int getCount() const noexcept { return mUrgent.getCount() + mNormal.getCount(); }

private:
    static bool push(container::Queue<Message>& lane, Message* message);

    container::Queue<Message> mUrgent;
    container::Queue<Message> mNormal;
};

}  // namespace nevrik::application
