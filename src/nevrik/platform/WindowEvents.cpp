#include "nevrik/platform/WindowEvents.h"

#include "nevrik/platform/detail/XConnection.h"

namespace nevrik::platform {

int WindowEvents::getDescriptor() {
    const detail::XConnection* connection = detail::XConnection::peek();
    return connection != nullptr ? connection->getDescriptor() : -1;
}

void WindowEvents::dispatch() {
    if (detail::XConnection* connection = detail::XConnection::peek()) {
        connection->dispatch();
    }
}

}  // namespace nevrik::platform
