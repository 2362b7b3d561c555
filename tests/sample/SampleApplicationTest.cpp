// The whole sample, end to end: the real program runs in a folder of its own
// with generated data and a font, and is driven from outside through XTEST
// like a user would, its verdict read back from the window's pixels.
#include "sample/SampleApplication.h"

#include "gui/TestDisplay.h"

#include "sample/SampleView.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace nevrik::sample {
namespace {

namespace fs = std::filesystem;

// The environment for runs of the program in sanitizer builds; others ignore it.
constexpr const char* kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1";

// Polls `condition` until it holds; the deadline only guards a hang (the
// sanitizer build with a software renderer is slow).
bool waitUntil(const std::function<bool()>& condition, int seconds = 120) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// A fresh folder to run the program in, removed afterwards.
class RunFolder {
public:
    RunFolder() {
        std::string pattern = (fs::temp_directory_path() / "nevrik-sample-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            mPath = pattern;
        }
    }
    ~RunFolder() {
        std::error_code ignored;
        fs::remove_all(mPath, ignored);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // The sample's model and textures under data/, and a font beside them.
    bool prepare() const {
        const std::string command =
            std::string(NEVRIK_MODELGEN_PROGRAM) + " --output '" + (mPath / "data").string() + "' >/dev/null";
        std::error_code error;
        fs::copy_file(NEVRIK_SAMPLE_FONT, mPath / "sample.ttf", error);
        return !error && std::system(command.c_str()) == 0;
    }
    const fs::path& getPath() const { return mPath; }

private:
    fs::path mPath;
};

// The sample program started in a folder, its standard output captured.
class SampleProcess {
public:
    // `environment` is put before the program: "NAME=value ..." or nothing.
    explicit SampleProcess(const fs::path& folder, const std::string& environment = "") {
        // exec keeps the shell's process id, which the first line reports.
        const std::string command =
            "cd '" + folder.string() + "' && echo $$ && exec env " + environment + " " NEVRIK_SAMPLE_PROGRAM;
        mOutput = popen(command.c_str(), "r");
        char line[32] = {};
        if (mOutput != nullptr && std::fgets(line, sizeof line, mOutput) != nullptr) {
            mPid = std::atoi(line);
        }
    }
    ~SampleProcess() {
        if (mOutput != nullptr) {
            kill(mPid, SIGKILL);
            finish();
        }
    }
    SampleProcess(const SampleProcess&) = delete;
    SampleProcess& operator=(const SampleProcess&) = delete;

    bool isStarted() const { return mPid > 0; }

    // Waits for the end; the exit status, or -1 when the program did not exit.
    int finish() {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, mOutput) != nullptr) {
            mText += buffer;
        }
        const int status = pclose(mOutput);
        mOutput = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& getText() const { return mText; }

private:
    FILE* mOutput = nullptr;
    int mPid = 0;
    std::string mText;
};

// The view's pixels as the X server holds them.
class Picture {
public:
    Picture(::Display* display, ::Window window, int width, int height)
        : mImage(XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap)) {}
    ~Picture() {
        if (mImage != nullptr) {
            XDestroyImage(mImage);
        }
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool isValid() const { return mImage != nullptr; }
    unsigned long at(int x, int y) const { return XGetPixel(mImage, x, y) & 0xFFFFFFul; }
    // The verdict is drawn in white over the sky and never over a model
    // (the lower left corner stays empty in the starting view).
    bool isText(int x, int y) const {
        const unsigned long pixel = at(x, y);
        return (pixel >> 16 & 0xFF) > 0xD0 && (pixel >> 8 & 0xFF) > 0xD0 && (pixel & 0xFF) > 0xD0;
    }

private:
    XImage* mImage;
};

// Where the text of the verdict lies in the lower left of a view: its
// rightmost column (the longer verdict reaches further) and its lowest row.
struct TextExtent {
    int right = -1;
    int bottom = -1;
};

class SampleApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDisplay.isOpen());
        ASSERT_TRUE(mFolder.prepare());
    }

    ::Display* display() const { return mDisplay.get(); }

    // The mapped top-level window titled "Nevrik", or 0.
    ::Window findWindow() {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        ::Window found = 0;
        XQueryTree(display(), DefaultRootWindow(display()), &root, &parent, &children, &count);
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            if (mDisplay.title(children[i]) == "Nevrik" &&
                mDisplay.attributes(children[i]).map_state == IsViewable) {
                found = children[i];
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    TextExtent measureText(::Window window) {
        const XWindowAttributes attributes = mDisplay.attributes(window);
        Picture picture(display(), window, attributes.width, attributes.height);
        TextExtent extent;
        if (!picture.isValid()) {
            return extent;
        }
        const int top = attributes.height - 60;
        for (int y = top; y < attributes.height; ++y) {
            for (int x = 0; x < attributes.width / 2 + 40; ++x) {
                if (picture.isText(x, y)) {
                    extent.right = std::max(extent.right, x);
                    extent.bottom = y;
                }
            }
        }
        return extent;
    }

    // A digest of the part of the view above the verdict.
    std::size_t sceneDigest(::Window window) {
        Picture picture(display(), window, 600, 400);
        std::size_t digest = 0;
        for (int y = 0; picture.isValid() && y < 400; y += 3) {
            for (int x = 0; x < 600; x += 3) {
                digest = digest * 31 + picture.at(x, y);
            }
        }
        return digest;
    }

    // Where a point of the plane z = 0 shows in a 600 × 500 view: the camera
    // sits 400 away on +z with a 20 × 20 window at a near distance of 20, so
    // the view spans 400 world units each way.
    static input::Point screenOf(float x, float y) {
        return input::Point{300.0f + x * 600.0f / 400.0f, 250.0f - y * 500.0f / 400.0f};
    }

    gui::TestDisplay& mDisplay = gui::TestDisplay::shared();
    RunFolder mFolder;
};

TEST_F(SampleApplicationTest, PicksUnderTheMouseTurnsWithADragFollowsAResizeAndQuitsWithOne) {
    // The software renderer's LLVM makes a one-time allocation when the first
    // configuration is chosen; its driver is unloaded before the leak check
    // runs at exit, which then finds the block unreachable and cannot name
    // where it came from. Sanitizer builds check the sample for leaks through
    // the in-process cases instead.
    SampleProcess sample(mFolder.getPath(), kNoLeakCheck);
    ASSERT_TRUE(sample.isStarted());
    ::Window window = 0;
    ASSERT_TRUE(waitUntil([&] { return (window = findWindow()) != 0; }));
    mDisplay.moveAway(window, 0, 0);
    // The first verdict shows once the scene is up.
    ASSERT_TRUE(waitUntil([&] { return measureText(window).right >= 0; }));

    // The copies stand at (i·320, j·600, 0); the one at the origin is hit
    // through its fuselage, the corner between copies is empty, and so is the
    // window's corner where the mouse is taken to be before it moves.
    const input::Point over = screenOf(0.0f, 0.0f);
    const input::Point between = screenOf(-160.0f, 170.0f);
    const int notOver = measureText(window).right;
    // "not " makes the verdict away from the models the wider one.
    mDisplay.movePointer(window, static_cast<int>(over.x), static_cast<int>(over.y));
    ASSERT_TRUE(waitUntil([&] { return measureText(window).right < notOver - 20; }, 30))
        << "over the model the verdict stays at width " << notOver;
    mDisplay.movePointer(window, static_cast<int>(between.x), static_cast<int>(between.y));
    ASSERT_TRUE(waitUntil([&] { return measureText(window).right == notOver; }, 30))
        << "between the copies the verdict is not back at width " << notOver;

    // A left drag turns the camera: the scene changes at once.
    const std::size_t before = sceneDigest(window);
    mDisplay.button(1, true);
    mDisplay.movePointer(window, static_cast<int>(over.x) + 120, static_cast<int>(over.y) + 40);
    mDisplay.button(1, false);
    EXPECT_TRUE(waitUntil([&] { return sceneDigest(window) != before; }, 30)) << "the drag did not turn the camera";

    // A smaller window keeps the verdict as far from the bottom edge.
    mDisplay.movePointer(window, 20, 20);
    const int gap = 500 - measureText(window).bottom;
    XResizeWindow(display(), window, 480, 360);
    XSync(display(), False);
    EXPECT_TRUE(waitUntil([&] {
        const TextExtent text = measureText(window);
        return mDisplay.attributes(window).height == 360 && text.bottom >= 0 && 360 - text.bottom == gap;
    }, 30)) << "the verdict did not keep its distance " << gap << " from the bottom";

    mDisplay.requestClose(window);
    EXPECT_EQ(sample.finish(), 1);
    EXPECT_EQ(sample.getText(), "");
}

TEST_F(SampleApplicationTest, MissingOrDamagedFilesAreReportedByNameWithStatus255) {
    const fs::path data = mFolder.getPath() / "data";
    const fs::path model = data / "f5e_05.3ds";
    const std::string cannotLoad = "Cannot load the model data/f5e_05.3ds: ";
    struct Case {
        std::function<void()> damage;
        std::string message;
    };
    // Each case damages the folder a little more.
    const Case cases[] = {
        {[&] { fs::resize_file(model, 7); },
         cannotLoad + "the file is damaged or is no 3DS model (TranslatorFormatException)"},
        {[&] { fs::remove(model); }, cannotLoad + "The system cannot find the file specified."},
        {[&] { fs::remove_all(data); },
         cannotLoad + "the folder \"data\" is not in the current folder (IOException)"},
        {[&] { fs::remove(mFolder.getPath() / "sample.ttf"); },
         "Cannot make the font for the verdict text: no font file in the current folder opens as a font "
         "(NoMatchException)"},
    };
    for (const Case& c : cases) {
        c.damage();
        // The process ends through exit() on the window thread, with the
        // application still alive: a leak check has nothing to say there.
        SampleProcess sample(mFolder.getPath(), kNoLeakCheck);
        ASSERT_TRUE(sample.isStarted());
        EXPECT_EQ(sample.finish(), 255);
        EXPECT_EQ(sample.getText(), c.message);
    }
}

}  // namespace
}  // namespace nevrik::sample
