#pragma once

#include "nevrik/application/MessageQueue.h"
#include "nevrik/application/Messenger.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/system/Signal.h"
#include "nevrik/types/String.h"

namespace nevrik::application {

/// The messenger of the program's main loop: run() delivers the messages of
/// its own queue on the thread that calls it, until the application receives
/// QUIT.
///
/// At most one exists at a time (currentApplication()). The program's entry
/// creates it, runs it and releases it; messages still queued then are
/// released undelivered. Messages may be queued from any thread.
class Application : public Messenger {
public:
    Application();
    ~Application() override;

    /// The application that exists now, or null.
    static Application* currentApplication() noexcept;

    /// Calls onStart(), then delivers queued messages on the calling thread
    /// until a QUIT whose target is the application itself, then calls
    /// onQuit() and returns true. False, doing nothing, while it runs already.
    /// Posts to its handlers fail before onStart() has returned and after
    /// run() has.
    bool run();

    /// Called when run() begins; its result is not examined.
    virtual bool onStart();
    /// Called when run() takes the application's QUIT.
    virtual bool onQuit();

    /// Both wake the loop at once.
    bool queueFront(object::Pointer<Message> message) override;
    bool queueBack(object::Pointer<Message> message) override;
    bool ownsThread() const override { return false; }

    NEVRIK_CLASS_NAME(Messenger, ":Application")

private:
    bool enqueue(object::Pointer<Message> message, bool front);
    Message* pop();

    MessageQueue mQueue;
    system::Mutex mQueueLock;
    system::Signal mWake;
};

}  // namespace nevrik::application
