#include "nevrik/system/Signal.h"

namespace nevrik::system {

void Signal::set() {
    mEvent.set();
}

void Signal::reset() {
    mEvent.reset();
}

void Signal::pulse() {
    mEvent.pulse();
}

void Signal::wait() {
    mEvent.wait();
}

void Signal::consume() {
    mEvent.consume();
}

}  // namespace nevrik::system
