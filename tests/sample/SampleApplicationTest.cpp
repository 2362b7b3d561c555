// The whole sample, end to end: the real program runs in a folder of its own
// with generated data and a font, driven from outside through XTEST, its
// verdict read back from the window's pixels.
#include "sample/SampleApplication.h"

#include "graphics3d/Chunks3DS.h"
#include "gui/TestDisplay.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <tuple>
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

// The program started in `folder` with `arguments` (and `environment`
// assignments before it), one of its output streams captured.
class SampleProcess {
public:
    enum class Captured { kStandardError, kStandardOutput };

    explicit SampleProcess(const fs::path& folder, const std::string& arguments = "",
                           const std::string& environment = "", Captured captured = Captured::kStandardError,
                           const fs::path& program = NEVRIK_SAMPLE_PROGRAM) {
        // exec keeps the shell's process id, which the first line reports;
        // timeout ends the program even if this test process dies first.
        const std::string command =
            "cd '" + folder.string() + "' && echo $$ && exec env " + environment + " " + kNoLeakCheck +
            " timeout 280 '" + program.string() + "' " + arguments +
            (captured == Captured::kStandardError ? " 2>&1 >/dev/null" : " 2>/dev/null");
        mStarted = std::chrono::steady_clock::now();
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
        mLifetime = std::chrono::steady_clock::now() - mStarted;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // What the program wrote on the captured stream.
    const std::string& getText() const { return mText; }
    // From the start to the end finish() saw.
    double getSeconds() const { return std::chrono::duration<double>(mLifetime).count(); }

private:
    FILE* mOutput = nullptr;
    int mPid = 0;
    std::string mText;
    std::chrono::steady_clock::time_point mStarted;
    std::chrono::steady_clock::duration mLifetime{};
};

class Picture;

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

    // Writes `bytes` to the file `name` of the test's folder.
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(mFolder / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

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

    // The window of `sample` once it shows a verdict, moved below where
    // other test programs open theirs; 0 when it never shows.
    ::Window showing(const SampleProcess& sample) {
        ::Window window = 0;
        if (sample.isStarted() && waitUntil([&] { return (window = findSample()) != 0; })) {
            mDisplay.moveAway(window, 0, 520);
        }
        return window;
    }

    // Presses and releases `key`.
    void tap(KeySym key) {
        mDisplay.key(key, true);
        mDisplay.key(key, false);
    }

    // Waits for `sample` to show the cube square in its 600 × 500 window,
    // then quits it with `key`: the pointer never entered the window, so
    // keys go to it only once focused.
    void showCubeThenQuit(const SampleProcess& sample, KeySym key) {
        const ::Window window = showing(sample);
        ASSERT_NE(window, 0u);
        EXPECT_TRUE(waitUntil([&] { return showsSquare(window, 600, 500); }, 30));
        mDisplay.focus(window);
        tap(key);
    }

    // What `window` shows now.
    Picture picture(::Window window);
    // Whether `window` is `width` × `height` and shows the front of a cube
    // at the origin as a square, in the middle, whatever the view's shape.
    bool showsSquare(::Window window, int width, int height);

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
    // sits 400 away on +z with a window 20 high at a near distance of 20, so
    // the view spans 400 world units from top to bottom and 480 across.
    void pointAt(::Window window, float x, float y) {
        mDisplay.movePointer(window, static_cast<int>(300.0f + x * 1.25f),
                             static_cast<int>(250.0f - y * 1.25f));
    }

    gui::TestDisplay& mDisplay = gui::TestDisplay::shared();
    fs::path mFolder;
};

// The window's picture, and where its models are: everything but the sky.
class Picture {
public:
    Picture(std::vector<unsigned long> pixels, int width, int height)
        : mPixels(std::move(pixels)), mWidth(width), mHeight(height) {}

    int getWidth() const { return mWidth; }
    int getHeight() const { return mHeight; }
    unsigned long at(int x, int y) const {
        return mPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(mWidth) +
                       static_cast<std::size_t>(x)];
    }
    bool isModel(int x, int y) const { return at(x, y) != kSky; }
    // The first sky pixel from (x, y) in steps of (dx, dy), or the edge.
    int edge(int x, int y, int dx, int dy) const {
        while (x >= 0 && y >= 0 && x < mWidth && y < mHeight && isModel(x, y)) {
            x += dx;
            y += dy;
        }
        return dx != 0 ? x : y;
    }
    // Width and height of the model drawn around (x, y).
    std::pair<int, int> extent(int x, int y) const {
        return {edge(x, y, 1, 0) - edge(x, y, -1, 0) - 1, edge(x, y, 0, 1) - edge(x, y, 0, -1) - 1};
    }
    // The scene above the verdict and the axis indicator, from row `top` on.
    bool sameSceneAs(const Picture& other, int top = 0) const {
        if (other.mWidth != mWidth || other.mHeight != mHeight) {
            return false;
        }
        const auto begin = static_cast<std::ptrdiff_t>(std::min(top, mHeight)) * mWidth;
        const auto end = static_cast<std::ptrdiff_t>(std::max(0, mHeight - kBottomRows)) * mWidth;
        return begin >= end ||
               std::equal(mPixels.begin() + begin, mPixels.begin() + end, other.mPixels.begin() + begin);
    }

    // The clear colour, 0.59 0.59 1.0.
    static constexpr unsigned long kSky = 0x9696FF;
    // The verdict and the axis indicator live in these rows.
    static constexpr int kBottomRows = 70;

private:
    std::vector<unsigned long> mPixels;
    int mWidth;
    int mHeight;
};

Picture SampleApplicationTest::picture(::Window window) {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels = grab(window, width, height);
    return Picture(std::move(pixels), width, height);
}

bool SampleApplicationTest::showsSquare(::Window window, int width, int height) {
    const Picture shot = picture(window);
    if (shot.getWidth() != width || shot.getHeight() != height) {
        return false;
    }
    const auto [across, down] = shot.extent(width / 2, height / 2);
    return down > 50 && std::abs(across - down) <= 1;
}

// The statistics, when shown, live in these rows.
constexpr int kStatisticsRows = 30;

// A cube of edge 2 × kCubeHalf around the origin in one red material, its
// faces turned outwards; `maps` are map chunks of the red material,
// `materials` more materials that no face uses.
constexpr float kCubeHalf = 50.0f;

std::string cubeModel(const std::string& maps = "", const std::string& materials = "") {
    using namespace graphics3d::chunks;
    std::string vertices;
    for (int i = 0; i < 8; ++i) {
        vertices += floats({(i & 1) != 0 ? kCubeHalf : -kCubeHalf, (i & 2) != 0 ? kCubeHalf : -kCubeHalf,
                            (i & 4) != 0 ? kCubeHalf : -kCubeHalf});
    }
    // Each side: the corners whose `axis` bit is `bit`, around the side.
    std::string faces;
    for (int axis = 0; axis < 3; ++axis) {
        for (int bit = 0; bit < 2; ++bit) {
            const int u = 1 << ((axis + 1) % 3);
            const int v = 1 << ((axis + 2) % 3);
            const int base = bit << axis;
            int quad[4] = {base, base | u, base | u | v, base | v};
            if (bit == 0) {
                std::swap(quad[1], quad[3]);
            }
            faces += words({static_cast<std::uint32_t>(quad[0]), static_cast<std::uint32_t>(quad[1]),
                            static_cast<std::uint32_t>(quad[2]), 7u, static_cast<std::uint32_t>(quad[0]),
                            static_cast<std::uint32_t>(quad[2]), static_cast<std::uint32_t>(quad[3]), 7u});
        }
    }
    return mainChunk(
        editor(material("red", chunk(0xA020, rgbBytes(255, 0, 0)) + maps) + materials +
               meshObject(vertexList(8, vertices) +
                          faceList(12, faces, faceGroup("red", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})))));
}

TEST_F(SampleApplicationTest, AModelOfItsOwnKeepsItsShapeFollowsWheelAndPanAsViewersDoAndPicksWhatIsDrawn) {
    write("cube.3ds", cubeModel());
    // A copy of the program of its own, for the screenshots beside it.
    const fs::path program = mFolder / "bin" / "nevrik_sample";
    fs::create_directory(mFolder / "bin");
    fs::copy_file(NEVRIK_SAMPLE_PROGRAM, program);
    SampleProcess sample(mFolder, "cube.3ds", "", SampleProcess::Captured::kStandardError, program);
    const ::Window window = showing(sample);
    ASSERT_NE(window, 0u);
    const auto picture = [&] { return SampleApplicationTest::picture(window); };
    const auto square = [&](int width, int height) { return showsSquare(window, width, height); };
    EXPECT_TRUE(square(600, 500));
    const int notOver = verdictExtent(window).first;

    // A burst of sizes, as a window manager sends while a corner is dragged.
    for (const auto& [width, height] :
         {std::pair{700, 450}, {650, 520}, {900, 350}, {720, 400}, {640, 480}, {800, 300}}) {
        XResizeWindow(mDisplay.get(), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
    XSync(mDisplay.get(), False);
    ASSERT_TRUE(waitUntil([&] { return square(800, 300); }, 30)) << "a wide view stretches the cube";
    const Picture home = picture();
    const int centreX = 400;
    const int centreY = 150;
    const int size = home.extent(centreX, centreY).second;

    // Wheel forward: closer, in steps that shrink with the distance.
    mDisplay.movePointer(window, centreX, centreY);
    mDisplay.button(4, true);
    mDisplay.button(4, false);
    EXPECT_TRUE(waitUntil([&] { return picture().extent(centreX, centreY).second > size + 5; }, 30));

    // Nearly a quarter turn about the horizontal axis: the cube now shows
    // another side, seen slightly from the edge.
    const Picture unturned = picture();
    mDisplay.movePointer(window, centreX, centreY - 82);
    mDisplay.button(1, true);
    mDisplay.movePointer(window, centreX, centreY + 82);
    mDisplay.button(1, false);
    ASSERT_TRUE(waitUntil([&] { return !picture().sameSceneAs(unturned); }, 30));

    // A right drag carries the point under the cursor with the cursor: the
    // row through it keeps its edges at the same distances from the cursor.
    // The row is the cube's nearest side, above the rows further off.
    const int grabX = centreX;
    const int grabY = centreY - 80;
    mDisplay.movePointer(window, grabX, grabY);
    const Picture unpanned = picture();
    ASSERT_TRUE(unpanned.isModel(grabX, grabY));
    const int left = unpanned.edge(grabX, grabY, -1, 0);
    const int right = unpanned.edge(grabX, grabY, 1, 0);
    const int dx = 60;
    const int dy = 25;
    mDisplay.button(3, true);
    mDisplay.movePointer(window, grabX + dx, grabY + dy);
    mDisplay.button(3, false);
    ASSERT_TRUE(waitUntil([&] { return !picture().sameSceneAs(unpanned); }, 30));
    const Picture panned = picture();
    EXPECT_NEAR(panned.edge(grabX + dx, grabY + dy, -1, 0), left + dx, 1);
    EXPECT_NEAR(panned.edge(grabX + dx, grabY + dy, 1, 0), right + dx, 1);

    // After resize, dolly, turn and pan the verdict still says what the
    // pixel under the cursor shows, all over the view.
    const int over = verdictExtent(window).first;
    ASSERT_LT(over, notOver - 20);
    std::mt19937 random(19);
    int models = 0;
    for (int turn = 0; turn < 40; ++turn) {
        const int x = std::uniform_int_distribution<int>(0, 799)(random);
        const int y = std::uniform_int_distribution<int>(0, 300 - Picture::kBottomRows - 1)(random);
        const bool hit = panned.isModel(x, y);
        models += hit ? 1 : 0;
        mDisplay.movePointer(window, x, y);
        EXPECT_TRUE(waitUntil([&] { return verdictExtent(window).first == (hit ? over : notOver); }, 10))
            << "at " << x << ", " << y << " the view shows " << (hit ? "a model" : "sky");
    }
    EXPECT_GT(models, 5);
    EXPECT_LT(models, 35);

    // Fifty more clicks never carry the camera through the pivot, which the
    // pan left by a face of the cube under the middle of the view: that cube
    // grows until it fills the view, and ten clicks more change nothing (a
    // camera past the pivot would be inside the cube, where every face is
    // culled, or beyond it). F, pressed after the clicks, shows the statistics once they
    // are all taken; pressed again, hides them.
    ASSERT_TRUE(panned.isModel(centreX, centreY));
    const auto clicks = [&](int count) {
        for (int click = 0; click < count; ++click) {
            mDisplay.button(4, true);
            mDisplay.button(4, false);
        }
    };
    mDisplay.movePointer(window, centreX, centreY);
    clicks(50);
    const auto statistics = [](const Picture& shot) {
        for (int y = 0; y < kStatisticsRows; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (shot.at(x, y) == 0xFFFFFF) {
                    return true;
                }
            }
        }
        return false;
    };
    tap(XK_f);
    ASSERT_TRUE(waitUntil([&] { return statistics(picture()); }, 30));
    const Picture nearest = picture();
    const auto sky = [](const Picture& shot) {
        int count = 0;
        for (int y = kStatisticsRows; y < shot.getHeight() - Picture::kBottomRows; ++y) {
            for (int x = 0; x < shot.getWidth(); ++x) {
                count += shot.isModel(x, y) ? 0 : 1;
            }
        }
        return count;
    };
    ASSERT_GT(sky(panned), 1000);
    EXPECT_EQ(sky(nearest), 0);
    EXPECT_TRUE(waitUntil([&] { return verdictExtent(window).first == over; }, 10));
    clicks(10);
    tap(XK_f);
    ASSERT_TRUE(waitUntil([&] { return !statistics(picture()); }, 30));
    EXPECT_TRUE(picture().sameSceneAs(nearest, kStatisticsRows)) << "the camera moved on";

    // R goes home, Esc quits.
    tap(XK_r);
    EXPECT_TRUE(waitUntil([&] { return picture().sameSceneAs(home); }, 30));
    // S saves the view, at the view's size, as a PNG beside the program;
    // once the program's folder is gone, in the current folder.
    const auto pngSize = [](const fs::path& file) {
        std::string header(24, '\0');
        std::ifstream(file, std::ios::binary).read(header.data(), 24);
        const auto word = [&](int at) {
            return static_cast<unsigned>(static_cast<unsigned char>(header[at])) << 24 |
                   static_cast<unsigned>(static_cast<unsigned char>(header[at + 1])) << 16 |
                   static_cast<unsigned>(static_cast<unsigned char>(header[at + 2])) << 8 |
                   static_cast<unsigned>(static_cast<unsigned char>(header[at + 3]));
        };
        return header.substr(1, 3) == "PNG" ? std::pair{word(16), word(20)} : std::pair{0u, 0u};
    };
    const auto save = [&](const fs::path& shot) {
        tap(XK_s);
        // The header is whole once the first chunk is.
        EXPECT_TRUE(waitUntil([&] { return fs::exists(shot) && fs::file_size(shot) > 33; }, 30)) << shot;
        EXPECT_EQ(pngSize(shot), (std::pair{800u, 300u})) << shot;
    };
    const fs::path beside = fs::canonical(mFolder / "bin") / "nevrik-1.png";
    save(beside);
    fs::remove_all(mFolder / "bin");
    save(mFolder / "nevrik-1.png");
    tap(XK_Escape);
    EXPECT_EQ(sample.finish(), 0);
    EXPECT_EQ(sample.getText(),
              "Saved the view as " + beside.string() + "\nSaved the view as nevrik-1.png\n");
}

// The same cube as Wavefront OBJ: the sample reads whatever model the
// engine reads, told by the file's content.
TEST_F(SampleApplicationTest, AnOBJModelShowsAsItsThreeDSTwinDoes) {
    std::ofstream obj(mFolder / "cube.obj");
    for (int i = 0; i < 8; ++i) {
        obj << "v " << ((i & 1) != 0 ? kCubeHalf : -kCubeHalf) << ' '
            << ((i & 2) != 0 ? kCubeHalf : -kCubeHalf) << ' ' << ((i & 4) != 0 ? kCubeHalf : -kCubeHalf)
            << '\n';
    }
    obj << "f 1 3 4 2\nf 5 6 8 7\nf 1 2 6 5\nf 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\n";
    obj.close();
    SampleProcess sample(mFolder, "cube.obj");
    ASSERT_NO_FATAL_FAILURE(showCubeThenQuit(sample, XK_Escape));
    EXPECT_EQ(sample.finish(), 0);
    EXPECT_EQ(sample.getText(), "");
}

// Textures the model names but that cannot be had: one line each on standard
// error, and the model drawn without them. A map without a file name names
// no texture. Q quits as Esc does.
TEST_F(SampleApplicationTest, EachMissingTextureIsNamedInALineAndTheModelDrawnAnyway) {
    using namespace graphics3d::chunks;
    const auto map = [](std::uint32_t id, const std::string& name) {
        return chunk(id, chunk(0xA300, text(name)));
    };
    write("cube.3ds", cubeModel(map(0xA200, "missing.png") + map(0xA230, "C:\\MAPS\\GONE.BMP"),
                                material("blank", map(0xA200, ""))));
    SampleProcess sample(mFolder, "cube.3ds");
    ASSERT_NO_FATAL_FAILURE(showCubeThenQuit(sample, XK_q));
    EXPECT_EQ(sample.finish(), 0);
    EXPECT_EQ(sample.getText(),
              "Texture missing.png of cube.3ds not loaded: FileNotFoundException\n"
              "Texture C:\\MAPS\\GONE.BMP of cube.3ds not loaded: FileNotFoundException\n");
}

// Asked for help, the program answers on standard output, naming the format
// of every model reader and every key.
TEST_F(SampleApplicationTest, HelpNamesEveryModelFormatAndKeyOnStandardOutput) {
    SampleProcess help(mFolder, "--help", "", SampleProcess::Captured::kStandardOutput);
    EXPECT_EQ(help.finish(), 0);
    const std::string usage = help.getText();
    EXPECT_EQ(usage.rfind("usage: nevrik_sample [MODEL]\n", 0), 0u) << usage;
    std::string upper = usage;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    int readers = 0;
    const graphics3d::ModelRoster roster;
    for (io::Translator<graphics3d::Model>* reader : roster.getTranslators()) {
        const std::string name = reader->className().c_str();
        const std::string format = name.substr(name.rfind(":Translator") + 11);
        // Each named with its file name endings: "3DS (.3ds)".
        EXPECT_NE(upper.find(format + " (."), std::string::npos) << format << " in\n" << usage;
        ++readers;
    }
    EXPECT_GE(readers, 3);
    for (const char* key :
         {"left drag", "right drag", "wheel", "middle drag", "\n  r ", "\n  f ", "\n  s ", "\n  Esc, q "}) {
        EXPECT_NE(usage.find(key), std::string::npos) << key << " in\n" << usage;
    }
    SampleProcess quiet(mFolder, "--help");
    EXPECT_EQ(quiet.finish(), 0);
    EXPECT_EQ(quiet.getText(), "");
}

TEST_F(SampleApplicationTest, PicksUnderTheMouseTurnsWithADragFollowsAResizeBurstAndClosesWithZero) {
    SampleProcess sample(mFolder);
    // The first verdict shows once the scene is up; the mouse counts as being
    // in the window's corner, between copies.
    const ::Window window = showing(sample);
    ASSERT_NE(window, 0u);
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

    // Sizes back to back, then the close box: the window still hears it.
    for (int size = 0; size < 8; ++size) {
        XResizeWindow(mDisplay.get(), window, static_cast<unsigned>(400 + size * 20),
                      static_cast<unsigned>(300 + size * 10));
    }
    XSync(mDisplay.get(), False);
    mDisplay.requestClose(window);
    EXPECT_EQ(sample.finish(), 0);
    EXPECT_EQ(sample.getText(), "");
}

TEST_F(SampleApplicationTest, AWindowDestroyedOrAConnectionCutByAnotherProgramEndsTheRunWithAMessage) {
    const std::string display = std::getenv("DISPLAY");
    const std::pair<std::function<void(::Window)>, std::string> cases[] = {
        {[&](::Window window) { XDestroyWindow(mDisplay.get(), window); },
         "The window was destroyed by another program\n"},
        // What xkill does: the server drops the program's connection.
        {[&](::Window window) { XKillClient(mDisplay.get(), window); },
         "Lost the connection to the X display \"" + display + "\"\n"},
    };
    for (const auto& [attack, message] : cases) {
        SampleProcess sample(mFolder);
        ASSERT_TRUE(sample.isStarted());
        ::Window window = 0;
        ASSERT_TRUE(waitUntil([&] { return (window = findSample()) != 0; }));
        attack(window);
        XSync(mDisplay.get(), False);
        EXPECT_EQ(sample.finish(), 1);
        EXPECT_EQ(sample.getText(), message);
    }
}

// A display without OpenGL: a private X server started without GLX.
class ServerWithoutOpenGL {
public:
    ServerWithoutOpenGL() {
        int descriptors[2] = {-1, -1};
        if (pipe(descriptors) != 0) {
            return;
        }
        mPid = fork();
        if (mPid == 0) {
            dup2(descriptors[1], 3);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-extension", "GLX", nullptr);
            _exit(127);
        }
        close(descriptors[1]);
        char number[16] = {};
        // Xvfb writes the display number once it takes connections.
        const ssize_t length = read(descriptors[0], number, sizeof number - 1);
        close(descriptors[0]);
        if (length > 0) {
            mName = ":" + std::to_string(std::atoi(number));
        }
    }
    ~ServerWithoutOpenGL() {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
    }
    ServerWithoutOpenGL(const ServerWithoutOpenGL&) = delete;
    ServerWithoutOpenGL& operator=(const ServerWithoutOpenGL&) = delete;

    // ":N", or empty when the server did not start.
    const std::string& getName() const { return mName; }

private:
    pid_t mPid = -1;
    std::string mName;
};

TEST_F(SampleApplicationTest, WhatIsMissingIsNamedInOneLineWithStatusOne) {
    const fs::path model = mFolder / "data" / "f5e_05.3ds";
    const std::string cannotLoad = "Cannot load the model: data/f5e_05.3ds: ";
    ServerWithoutOpenGL bare;
    ASSERT_FALSE(bare.getName().empty());
    // Each case damages the folder or the display a little more; the font is
    // made first.
    const std::tuple<std::function<void()>, std::string, std::string, std::string> cases[] = {
        {[] {}, "", "DISPLAY=:999", "Cannot open the X display \":999\"\n"},
        {[] {}, "", "-u DISPLAY", "No X display: DISPLAY is not set\n"},
        {[] {}, "", "DISPLAY=" + bare.getName(),
         "The X display \"" + bare.getName() + "\" has no OpenGL (its server lacks the GLX extension)\n"},
        {[] {}, "data/missing.3ds", "",
         "Cannot load the model: data/missing.3ds: The system cannot find the file specified.\n"},
        {[&] { fs::resize_file(model, 7); }, "", "",
         "Cannot load the model: the file is damaged: data/f5e_05.3ds: 3DS chunk header: "
         "TranslatorFormatException\n"},
        {[&] { std::ofstream(model) << "no model here"; }, "", "",
         cannotLoad + "no model reader recognises its content\n"},
        {[&] { fs::remove(model); }, "", "", cannotLoad + "The system cannot find the file specified.\n"},
        {[&] { fs::remove_all(mFolder / "data"); }, "", "",
         "Cannot load the model: the folder \"data\" does not exist: data/f5e_05.3ds: IOException\n"},
        {[&] { fs::remove(mFolder / "sample.ttf"); }, "", "",
         "Cannot make the font for the verdict text: no font file in the current folder opens as a font: "
         "NoMatchException\n"},
    };
    for (const auto& [damage, arguments, environment, message] : cases) {
        damage();
        SampleProcess sample(mFolder, arguments, environment);
        ASSERT_TRUE(sample.isStarted());
        EXPECT_EQ(sample.finish(), 1) << message;
        EXPECT_EQ(sample.getText(), message);
        if (!environment.empty()) {
            EXPECT_LT(sample.getSeconds(), 5.0) << message;
        }
    }
    // A wrong command line is told how to call the program.
    SampleProcess extra(mFolder, "one two");
    EXPECT_EQ(extra.finish(), 2);
    EXPECT_EQ(extra.getText().rfind("nevrik_sample: one model at most\nusage: nevrik_sample [MODEL]\n", 0),
              0u);
}

}  // namespace
}  // namespace nevrik::sample
