#include "sample/SampleApplication.h"

#include "nevrik/application/Message.h"
#include "sample/MainWindow.h"
#include "sample/OpenGLTicker.h"
#include "sample/SampleView.h"

namespace nevrik::sample {

SampleApplication::SampleApplication() = default;

// Out of line: the members' classes are complete only here.
SampleApplication::~SampleApplication() = default;

bool SampleApplication::onStart() {
    mWindow = object::Pointer<MainWindow>::adopt(new MainWindow());
    mView = object::Pointer<SampleView>::adopt(new SampleView());
    mView->setLayoutFlags(kViewLayout);
    mWindow->addView(mView.get());
    mOpened = mWindow->open();
    if (!mOpened) {
        // post() refuses until run() takes messages; the queue itself does not.
        application::Message* quit = application::Message::make(application::Message::QUIT, this);
        if (!queueBack(quit)) {
            quit->release();
        }
        return true;
    }
    mTicker = object::Pointer<OpenGLTicker>::adopt(new OpenGLTicker(mView.get()));
    mTicker->start();
    return true;
}

bool SampleApplication::onQuit() {
    if (mTicker) {
        mTicker->stop();
    }
    if (mWindow) {
        mWindow->close();
    }
    mTicker.reset();
    mWindow.reset();
    mView.reset();
    return true;
}

}  // namespace nevrik::sample
