#include "nevrik/application/MessageQueue.h"

namespace nevrik::application {

MessageQueue::~MessageQueue() {
    clear();
}

bool MessageQueue::pushBack(Message* message) {
    return push(mNormal, message);
}

bool MessageQueue::pushFront(Message* message) {
    return push(mUrgent, message);
}

Message* MessageQueue::pop() {
    Message* message = mUrgent.pop();
    return message != nullptr ? message : mNormal.pop();
}

void MessageQueue::clear() {
    while (Message* message = pop()) {
        message->release();
    }
}

bool MessageQueue::push(container::Queue<Message>& lane, Message* message) {
    if (message == nullptr || !lane.push(message)) {
        return false;
    }
    message->addReference();
    return true;
}

}  // namespace nevrik::application
