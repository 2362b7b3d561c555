#include "sample/SampleApplication.h"

#include "nevrik/application/Message.h"
#include "nevrik/object/Pointer.h"
#include "sample/MainWindow.h"
#include "sample/OpenGLTicker.h"
#include "sample/SampleView.h"

#include <cstdio>
#include <cstdlib>

namespace nevrik::sample {

SampleApplication::SampleApplication(const types::String& modelPath) : mModelPath(modelPath) {}

// Out of line: the members' classes are complete only here.
SampleApplication::~SampleApplication() = default;

bool SampleApplication::onStart() {
    mWindow = object::make<MainWindow>();
    mView = object::make<SampleView>(mModelPath);
    mView->setLayoutFlags(gui::View::kFill);
    mWindow->addView(mView.get());
    mOpened = mWindow->open();
    if (!mOpened) {
        {
            std::lock_guard<std::mutex> guard(mFailureLock);
            mFailure = "Cannot open the window";
        }
        // post() refuses until run() takes messages; the queue itself does not.
        queueBack(application::Message::make(application::Message::QUIT, this));
        return true;
    }
    mTicker = object::make<OpenGLTicker>(mView.get());
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
    // The window thread has ended: its counts are final and safe to read.
    if (mView && std::getenv(kStatisticsVariable) != nullptr) {
        // Every frame picks once.
        const SampleView::Statistics& counts = mView->getStatistics();
        const double frames = counts.frames > 0 ? static_cast<double>(counts.frames) : 1.0;
        const double seconds = static_cast<double>(counts.lastFrame - counts.firstFrame) / 1e6;
        std::printf(
            "frames %llu picks %llu hits %llu; %.1f frames/s; processor ms per frame: "
            "render %.2f pick %.2f\n",
            static_cast<unsigned long long>(counts.frames), static_cast<unsigned long long>(counts.frames),
            static_cast<unsigned long long>(counts.hits),
            seconds > 0.0 ? static_cast<double>(counts.frames - 1) / seconds : 0.0,
            static_cast<double>(counts.renderTime) / 1e3 / frames,
            static_cast<double>(counts.pickTime) / 1e3 / frames);
        std::fflush(stdout);
    }
    mTicker.reset();
    mWindow.reset();
    mView.reset();
    return true;
}

void SampleApplication::fail(const types::String& message) {
    {
        std::lock_guard<std::mutex> guard(mFailureLock);
        if (!mFailure.isEmpty()) {
            return;
        }
        mFailure = message;
    }
    application::post(this, application::Message::QUIT);
}

void SampleApplication::failCurrent(const types::String& message) {
    if (auto* sample = dynamic_cast<SampleApplication*>(application::Application::currentApplication())) {
        sample->fail(message);
    }
}

bool SampleApplication::quitCurrent() {
    application::Application* application = application::Application::currentApplication();
    return application != nullptr && application::post(application, application::Message::QUIT);
}

types::String SampleApplication::getFailure() const {
    std::lock_guard<std::mutex> guard(mFailureLock);
    return mFailure;
}

}  // namespace nevrik::sample
