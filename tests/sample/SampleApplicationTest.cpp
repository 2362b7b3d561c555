// The whole sample, end to end: the real program runs in a folder of its own
// with generated data and a font, driven from outside through XTEST, its
// verdict read back from the window's pixels.
#include "sample/SampleApplication.h"

#include "gui/TestDisplay.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace nevrik::sample {
namespace {

namespace fs = std::filesystem;

// Sanitizer builds: the software renderer's LLVM makes a one-time allocation
// that becomes unreachable, unattributed, when its driver unloads before the
// exit-time leak check; and the failure runs end through exit() on the window
// thread with everything alive. Other builds ignore the variable.
constexpr const char* kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1";

// Polls `condition`; the deadline only guards a hang (a sanitizer build with
// a software renderer is slow).
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

// The program started in `folder`, its standard output captured.
class SampleProcess {
public:
    explicit SampleProcess(const fs::path& folder) {
        // exec keeps the shell's process id, which the first line reports;
        // timeout ends the program even if this test process dies first.
        const std::string command = "cd '" + folder.string() + "' && echo $$ && exec env " + kNoLeakCheck +
                                    " timeout 280 " NEVRIK_SAMPLE_PROGRAM;
        mOutput = popen(command.c_str(), "r");
        char line[32] = {};
        if (mOutput != nullptr && std::fgets(line, sizeof line, mOutput) != nullptr) {
            mPid = std::atoi(line);
        }
    }
    ~SampleProcess() {
        if (mOutput != nullptr) {
            // timeout passes the signal on to the program.
            kill(mPid, SIGTERM);
            finish();
        }
    }
    SampleProcess(const SampleProcess&) = delete;
    SampleProcess& operator=(const SampleProcess&) = delete;

    bool isStarted() const { return mPid > 0; }
    // Waits for the end: the exit status, -1 when the program did not exit.
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

class SampleApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDisplay.isOpen());
        // Windows of other programs come and go while they are looked at; the
        // default handler would end this process on the first BadWindow.
        XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
        std::string pattern = (fs::temp_directory_path() / "nevrik-sample-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
        fs::copy_file(NEVRIK_SAMPLE_FONT, mFolder / "sample.ttf");
        const std::string generate = std::string(NEVRIK_MODELGEN_PROGRAM) + " --output '" +
                                     (mFolder / "data").string() + "' >/dev/null";
        ASSERT_EQ(std::system(generate.c_str()), 0);
    }
    void TearDown() override { fs::remove_all(mFolder); }

    // The sample's window once it shows a verdict, or 0: a mapped top-level
    // window titled "Nevrik" with a child window (the view; other test
    // programs' main windows have none) and text in its corner (the sample
    // runs of other tests fail before they draw).
    ::Window findSample() {
        for (::Window window : children(DefaultRootWindow(mDisplay.get()))) {
            if (mDisplay.title(window) == "Nevrik" && mDisplay.attributes(window).map_state == IsViewable &&
                !children(window).empty() && verdictExtent(window).first >= 0) {
                return window;
            }
        }
        return 0;
    }

    std::vector<::Window> children(::Window window) {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* list = nullptr;
        unsigned int count = 0;
        XQueryTree(mDisplay.get(), window, &root, &parent, &list, &count);
        std::vector<::Window> result(list, list + count);
        if (list != nullptr) {
            XFree(list);
        }
        return result;
    }

    // The window's pixels as 0xRRGGBB, row by row; `height` is set.
    std::vector<unsigned long> grab(::Window window, int& width, int& height) {
        const XWindowAttributes attributes = mDisplay.attributes(window);
        width = attributes.width;
        height = attributes.height;
        std::vector<unsigned long> pixels;
        if (XImage* image = XGetImage(mDisplay.get(), window, 0, 0, width, height, AllPlanes, ZPixmap)) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
                }
            }
            XDestroyImage(image);
        }
        return pixels;
    }

    // The verdict is white over the sky in the lower left: its rightmost
    // column (the longer verdict reaches further) and its distance from the
    // bottom edge; -1 for both without text.
    std::pair<int, int> verdictExtent(::Window window) {
        int width = 0;
        int height = 0;
        const std::vector<unsigned long> pixels = grab(window, width, height);
        int right = -1;
        int gap = -1;
        for (int y = std::max(0, height - 60); y < height && !pixels.empty(); ++y) {
            for (int x = 0; x < width / 2 + 40; ++x) {
                const unsigned long pixel =
                    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)];
                if ((pixel >> 16 & 0xFF) > 0xD0 && (pixel >> 8 & 0xFF) > 0xD0 && (pixel & 0xFF) > 0xD0) {
                    right = std::max(right, x);
                    gap = height - 1 - y;
                }
            }
        }
        return {right, gap};
    }

    // Where a point of the plane z = 0 shows in the 600 × 500 view: the camera
    // sits 400 away on +z with a 20 × 20 window at a near distance of 20, so
    // the view spans 400 world units each way.
    void pointAt(::Window window, float x, float y) {
        mDisplay.movePointer(window, static_cast<int>(300.0f + x * 1.5f),
                             static_cast<int>(250.0f - y * 1.25f));
    }

    gui::TestDisplay& mDisplay = gui::TestDisplay::shared();
    fs::path mFolder;
};

TEST_F(SampleApplicationTest, PicksUnderTheMouseTurnsWithADragFollowsAResizeAndQuitsWithOne) {
    SampleProcess sample(mFolder);
    ASSERT_TRUE(sample.isStarted());
    // The first verdict shows once the scene is up; the mouse counts as being
    // in the window's corner, between copies.
    ::Window window = 0;
    ASSERT_TRUE(waitUntil([&] { return (window = findSample()) != 0; }));
    // Below where other test programs open their windows.
    mDisplay.moveAway(window, 0, 520);
    const int notOver = verdictExtent(window).first;

    // The copies stand at (i·320, j·600, 0): the one at the origin is hit
    // through its fuselage; "not " makes the other verdict wider.
    pointAt(window, 0.0f, 0.0f);
    ASSERT_TRUE(waitUntil([&] { return verdictExtent(window).first < notOver - 20; }, 30));
    pointAt(window, -160.0f, 170.0f);
    ASSERT_TRUE(waitUntil([&] { return verdictExtent(window).first == notOver; }, 30));

    // A smaller window keeps the verdict as far from the bottom edge (the
    // lower left corner holds no model before the camera turns).
    const int gap = verdictExtent(window).second;
    XResizeWindow(mDisplay.get(), window, 480, 360);
    XSync(mDisplay.get(), False);
    EXPECT_TRUE(waitUntil(
        [&] { return mDisplay.attributes(window).height == 360 && verdictExtent(window).second == gap; }, 30))
        << "the verdict did not stay " << gap << " pixels above the bottom";

    // A left drag turns the camera: the scene above the verdict changes.
    const auto scene = [&] {
        int width = 0;
        int height = 0;
        std::vector<unsigned long> pixels = grab(window, width, height);
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(std::max(0, height - 60)));
        return pixels;
    };
    const std::vector<unsigned long> before = scene();
    mDisplay.button(1, true);
    pointAt(window, -80.0f, 30.0f);
    mDisplay.button(1, false);
    EXPECT_TRUE(waitUntil([&] { return scene() != before; }, 30));

    mDisplay.requestClose(window);
    EXPECT_EQ(sample.finish(), 1);
    EXPECT_EQ(sample.getText(), "");
}

TEST_F(SampleApplicationTest, MissingOrDamagedFilesAreReportedByNameWithStatus255) {
    const fs::path model = mFolder / "data" / "f5e_05.3ds";
    const std::string cannotLoad = "Cannot load the model data/f5e_05.3ds: ";
    // Each case damages the folder a little more; the font is made first.
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { fs::resize_file(model, 7); },
         cannotLoad + "the file is damaged or is no 3DS model (TranslatorFormatException)"},
        {[&] { fs::remove(model); }, cannotLoad + "The system cannot find the file specified."},
        {[&] { fs::remove_all(mFolder / "data"); },
         cannotLoad + "the folder \"data\" is not in the current folder (IOException)"},
        {[&] { fs::remove(mFolder / "sample.ttf"); },
         "Cannot make the font for the verdict text: no font file in the current folder opens as a font "
         "(NoMatchException)"},
    };
    for (const auto& [damage, message] : cases) {
        damage();
        SampleProcess sample(mFolder);
        ASSERT_TRUE(sample.isStarted());
        EXPECT_EQ(sample.finish(), 255);
        EXPECT_EQ(sample.getText(), message);
    }
}

}  // namespace
}  // namespace nevrik::sample
