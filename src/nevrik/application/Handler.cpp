#include "nevrik/application/Handler.h"

#include "nevrik/application/Messenger.h"

namespace nevrik::application {

Handler::~Handler() {
    // A messenger clears its own field before it gets here, and a handler
    // that dies through its count is detached already (the chain held it):
    // only one held by value can still be attached.
    if (Messenger* messenger = getMessenger()) {
        messenger->removeHandler(this);
    }
}

bool Handler::onMessage(Message&) {
    return true;
}

}  // namespace nevrik::application
